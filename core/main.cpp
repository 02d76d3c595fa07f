// main.cpp - the program's entry: the command line, the game folder and the
// backend, then the engine.
//
//   orva [GAME_DIR]
//   orva --headless [--events FILE] [--click-waits] [--max-ms N]
//        [--frame-out FILE.bmp] [--audio-out FILE.wav] [GAME_DIR]
//   orva --help
#include <errno.h>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "core/startup.h"
#include "platform/headless/headless.h"
#include "platform/platform.h"

static const char kUsage[] =
    "usage: orva [GAME_DIR]\n"
    "       orva --headless [--events FILE] [--click-waits] [--max-ms N]\n"
    "            [--frame-out FILE.bmp] [--audio-out FILE.wav] [GAME_DIR]\n"
    "\n"
    "Plays the game in GAME_DIR (default: the current folder) in a window.\n"
    "\n"
    "  -h, --help           print this help and exit\n"
    "  --headless           run without a window, on a virtual clock; message\n"
    "                       boxes go to standard error as 'caption: text'\n"
    "  --events FILE        (headless) input to play: lines 'TIME_MS EVENT ARGS'\n"
    "                       (click X Y, key NAME, close, answer yes|no ...)\n"
    "  --click-waits        (headless) answer every wait for a click at once\n"
    "  --max-ms N           (headless) stop after N ms of virtual time with\n"
    "                       exit status 124\n"
    "  --frame-out FILE.bmp (headless) write the last frame shown at the end\n"
    "  --audio-out FILE.wav (headless) write the sound the mixer made, 44100 Hz\n"
    "                       16-bit stereo, as virtual time passed\n"
    "\n"
    "Exit status: 0 when the game ends, 1 after a fatal script error or when\n"
    "no script is found, 2 for a bad command line, 255 when the game ends\n"
    "with -1, 124 when --max-ms ran out, 128+N when closed by signal N.\n";

// A command-line fault: what was wrong, then a pointer to --help.
static int BadUsage(const char* what, const char* arg) {
    fprintf(stderr, "orva: %s%s%s\nTry 'orva --help' for the options.\n", what,
            arg ? ": " : "", arg ? arg : "");
    return 2;
}

int main(int argc, char** argv) {
    PlatOptions opt;
    std::string game_dir = ".";
    bool have_dir = false;
    std::string audio_out;
    for (int i = 1; i < argc; i++) {
        const char* a = argv[i];
        if (strcmp(a, "--help") == 0 || strcmp(a, "-h") == 0) {
            fputs(kUsage, stdout);
            return 0;
        } else if (strcmp(a, "--headless") == 0) {
            opt.headless = true;
        } else if (strcmp(a, "--click-waits") == 0) {
            opt.click_waits = true;
        } else if (strcmp(a, "--events") == 0 || strcmp(a, "--frame-out") == 0 ||
                   strcmp(a, "--max-ms") == 0 || strcmp(a, "--audio-out") == 0) {
            if (i + 1 >= argc) return BadUsage("a value is missing after", a);
            const char* v = argv[++i];
            if (strcmp(a, "--events") == 0) {
                opt.events_file = v;
            } else if (strcmp(a, "--frame-out") == 0) {
                opt.frame_out = v;
            } else if (strcmp(a, "--audio-out") == 0) {
                audio_out = v;
            } else {
                char* end;
                errno = 0;
                opt.max_ms = strtoll(v, &end, 10);
                if (!*v || *end || opt.max_ms < 0 || errno == ERANGE)
                    return BadUsage("--max-ms needs a number of milliseconds, not", v);
            }
        } else if (a[0] == '-' && a[1]) {
            return BadUsage("unknown option", a);
        } else if (!have_dir) {
            game_dir = a;
            have_dir = true;
        } else {
            return BadUsage("only one game folder may be given; extra argument", a);
        }
    }
    if (!opt.headless && (opt.click_waits || !opt.events_file.empty() || opt.max_ms >= 0 ||
                          !opt.frame_out.empty() || !audio_out.empty())) {
        fprintf(stderr, "orva: --events, --click-waits, --max-ms, --frame-out and --audio-out need --headless\n");
        return 2;
    }
    if (!audio_out.empty()) {
        // Named from where orva was started, not from the game folder.
        char cwd[PATH_MAX];
        if (audio_out[0] != '/' && getcwd(cwd, sizeof cwd)) audio_out = std::string(cwd) + "/" + audio_out;
        HeadlessSetAudioOut(audio_out.c_str());
    }
    struct stat st;
    if (stat(game_dir.c_str(), &st) != 0) {
        if (errno == ENOENT)
            fprintf(stderr, "orva: the game folder %s does not exist\n", game_dir.c_str());
        else
            fprintf(stderr, "orva: cannot open the game folder %s: %s\n", game_dir.c_str(),
                    strerror(errno));
        return 2;
    }
    if (!S_ISDIR(st.st_mode)) {
        fprintf(stderr, "orva: %s is a file, not a game folder\n", game_dir.c_str());
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
