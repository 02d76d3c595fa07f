# make run   - installs what is missing, builds and plays the demo game
# make test  - installs what is missing, builds and runs every test, normally
#              and under AddressSanitizer + UndefinedBehaviorSanitizer, runs
#              each fuzzer briefly and the tests that start threads under
#              ThreadSanitizer
# make bench - the benchmarks;  make fuzz - the fuzzers for FUZZ_SECONDS each
# make tsan  - the tests that start threads, under ThreadSanitizer
JOBS ?= $(shell nproc)
FUZZ_SECONDS ?= 10
CMAKE_GEN = -G Ninja

.PHONY: deps configure build build-orva build-asan build-fuzz build-tsan run test test-normal test-asan tsan bench fuzz fuzz-ci clean

deps:
	@scripts/install-deps

# The benchmarks build in a tree of their own, so that playing and testing
# do not wait for them.  The program carries line tables (enough for a
# backtrace), not full debugging information: it builds faster.
configure: deps
	@cmake -S . -B build $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DORVA_BENCH=OFF \
	  -DCMAKE_C_FLAGS_RELWITHDEBINFO="-O2 -g1 -DNDEBUG" -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O2 -g1 -DNDEBUG" >/dev/null

build: configure
	@cmake --build build -j $(JOBS)

# Only the program: what playing needs, without the tests and benchmarks.
build-orva: configure
	@cmake --build build -j $(JOBS) --target orva

# The sanitizer trees are built by clang, which builds them in about half
# the time GCC takes, at -O1 with line tables: what a sanitizer's report
# needs.
SAN_CMAKE = cmake $(CMAKE_GEN) -DORVA_BENCH=OFF \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DCMAKE_C_FLAGS_DEBUG="-O1 -gline-tables-only" -DCMAKE_CXX_FLAGS_DEBUG="-O1 -gline-tables-only"

# AddressSanitizer + UndefinedBehaviorSanitizer, with the engine's
# assertions: one tree for the tests and the fuzzers.
build-asan: deps
	@$(SAN_CMAKE) -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DORVA_SANITIZE=ON -DORVA_FUZZ=ON >/dev/null
	@cmake --build build-asan -j $(JOBS)

# ThreadSanitizer: the program and the test programs whose tests start
# threads.
build-tsan: deps
	@$(SAN_CMAKE) -S . -B build-tsan -DCMAKE_BUILD_TYPE=Debug -DORVA_TSAN=ON >/dev/null
	@cmake --build build-tsan -j $(JOBS) --target orva test_platform test_gui test_sound

build-fuzz: build-asan

run: build-orva
	@if [ -z "$$DISPLAY" ] && [ -z "$$WAYLAND_DISPLAY" ]; then \
	  echo "make run: no display; play headless with: build/orva --headless --click-waits --events scripts/demo-autoplay.events demo"; \
	else build/orva demo; fi

# The real-window tests, which mostly wait for an X server, run in a lane
# of their own beside the others.
test-normal: build
	@scripts/ctest-lanes build $(JOBS)

test-asan: build-asan
	@scripts/ctest-lanes build-asan $(JOBS)

# The tests that start threads, under ThreadSanitizer: the SDL window with
# its glyph-atlas thread, the game in a real window with its sound thread,
# the clock, text and signal tests, a CD's sectors read ahead on a thread,
# the mixer under an audio device's thread, the device and the sound thread
# resting while nothing plays, and the sound thread lowering the music under
# a voice while the engine reads it.
# A report fails the test.
TSAN_TESTS = ^(Sdl|SdlAudio|SdlGui|RealWindow|Clock|Text|Signals|CdDisc|MixerThreads|MixerDevice|SoundThreadRest)\.
tsan: build-tsan
	cd build-tsan && TSAN_OPTIONS="suppressions=$(CURDIR)/scripts/tsan.supp halt_on_error=1" \
	  ctest -j $(JOBS) -R '$(TSAN_TESTS)' --output-on-failure

fuzz-ci: build-asan
	@FUZZ_SECONDS=$(FUZZ_SECONDS) scripts/run-fuzzers build-asan/fuzz

# The AddressSanitizer run comes last so that its summary closes the output.
test: test-normal fuzz-ci tsan test-asan

bench: deps
	@cmake -S . -B build-bench $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DORVA_BENCH=ON >/dev/null
	@cmake --build build-bench -j $(JOBS)
	@for b in build-bench/bench/bench_*; do [ -x "$$b" ] && "$$b"; done

fuzz: FUZZ_SECONDS = 120
fuzz: fuzz-ci

clean:
	rm -rf build build-asan build-fuzz build-bench build-tsan
