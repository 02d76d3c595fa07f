// main.cpp - the program's entry: the command line, the game folder and the
// backend, then the engine.
//
//   orva [GAME_DIR]
//   orva --headless [--events FILE] [--click-waits] [--max-ms N]
//        [--frame-out FILE.bmp] [GAME_DIR]
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "core/startup.h"
#include "platform/platform.h"

static int Usage() {
    fprintf(stderr,
            "usage: orva [GAME_DIR]\n"
            "       orva --headless [--events FILE] [--click-waits] [--max-ms N]\n"
            "            [--frame-out FILE.bmp] [GAME_DIR]\n");
    return 2;
}

int main(int argc, char** argv) {
    PlatOptions opt;
    std::string game_dir = ".";
    bool have_dir = false;
    for (int i = 1; i < argc; i++) {
        const char* a = argv[i];
        auto value = [&]() -> const char* { return i + 1 < argc ? argv[++i] : nullptr; };
        if (strcmp(a, "--headless") == 0) {
            opt.headless = true;
        } else if (strcmp(a, "--click-waits") == 0) {
            opt.click_waits = true;
        } else if (strcmp(a, "--events") == 0 || strcmp(a, "--frame-out") == 0 ||
                   strcmp(a, "--max-ms") == 0) {
            const char* v = value();
            if (!v) return Usage();
            if (strcmp(a, "--events") == 0) {
                opt.events_file = v;
            } else if (strcmp(a, "--frame-out") == 0) {
                opt.frame_out = v;
            } else {
                char* end;
                opt.max_ms = strtoll(v, &end, 10);
                if (!*v || *end || opt.max_ms < 0) return Usage();
            }
        } else if (a[0] == '-' && a[1]) {
            return Usage();
        } else if (!have_dir) {
            game_dir = a;
            have_dir = true;
        } else {
            return Usage();
        }
    }
    if (!opt.headless && (opt.click_waits || !opt.events_file.empty() || opt.max_ms >= 0 ||
                          !opt.frame_out.empty())) {
        fprintf(stderr, "orva: --events, --click-waits, --max-ms and --frame-out need --headless\n");
        return 2;
    }
    // Paths given on the command line are taken before the folder changes.
    auto absolute = [](std::string& p) {
        if (p.empty() || p[0] == '/') return;
        if (char* r = realpath(".", nullptr)) {
            p = std::string(r) + "/" + p;
            free(r);
        }
    };
    absolute(opt.events_file);
    absolute(opt.frame_out);
    if (!PlatSetGameDir(game_dir.c_str())) {
        fprintf(stderr, "orva: cannot open the game folder %s\n", game_dir.c_str());
        return 2;
    }
    if (!PlatInit(opt)) return 1;
    WinMain();
}
