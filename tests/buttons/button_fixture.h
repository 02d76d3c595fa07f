// button_fixture.h - tiny button games: a 320 x 240 script with its
// pictures and an events file, played to its last frame.
#pragma once
#include <cstdint>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "tests/graphics/compose_fixture.h"

// A wave file of `samples` silent 16-bit mono samples at 8000 Hz.
inline std::string SilentWav(uint32_t samples) {
    std::string w = "RIFF....WAVEfmt ";
    auto put32 = [&](uint32_t v) { w.append((const char*)&v, 4); };
    auto put16 = [&](uint16_t v) { w.append((const char*)&v, 2); };
    put32(16);
    put16(1), put16(1), put32(8000), put32(16000), put16(2), put16(16);
    w += "data";
    put32(2 * samples);
    w.append(2 * (size_t)samples, '\0');
    uint32_t riff = (uint32_t)w.size() - 8;
    memcpy(&w[4], &riff, 4);
    return w;
}

// beep.wav: silent, 12.5 ms; second.wav: silent, 1 s.  cells.bmp: two 8 x 8 cells, red then blue.  three.bmp: three 8 x 8 cells,
// red, green, blue.  one.bmp: one 8 x 8 red cell.  pic.bmp: a 40 x 40
// green button picture.  keyed.bmp: 8 x 8, its left half the colour of its
// top-left pixel (transparent with :l), the right half red.
inline std::vector<std::pair<std::string, std::string>> ButtonPictures() {
    return {
        {"cells.bmp", Bmp24(16, 8, [](int x, int) { return x < 8 ? kRed : kBlue; })},
        {"three.bmp", Bmp24(24, 8, [](int x, int) { return x < 8 ? kRed : x < 16 ? kGreen : kBlue; })},
        {"one.bmp", SolidBmp(8, 8, kRed)},
        {"pic.bmp", SolidBmp(40, 40, kGreen)},
        {"keyed.bmp", Bmp24(8, 8, [](int x, int) { return x < 4 ? kWhite : kRed; })},
        {"beep.wav", SilentWav(100)},
        {"second.wav", SilentWav(8000)},
    };
}

// The events' times moved by kEventOffset ms: the start-up before *start
// takes some virtual time of its own.
enum { kEventOffset = 1000 };
inline std::string ShiftEvents(const std::string& events) {
    std::string out;
    size_t at = 0;
    while (at < events.size()) {
        size_t end = events.find('\n', at);
        if (end == std::string::npos) end = events.size();
        std::string line = events.substr(at, end - at);
        size_t sp = line.find(' ');
        if (sp != std::string::npos) line = std::to_string(std::stoll(line.substr(0, sp)) + kEventOffset) + line.substr(sp);
        out += line + "\n";
        at = end + 1;
    }
    return out;
}

// Plays ";mode320\n*define\n<define>game\n*start\n<story>end\n" with the
// events (times counted from kEventOffset) and reads the last frame.
inline FramedRun PlayButtons(const std::string& define, const std::string& story,
                             const std::string& events = "") {
    std::string dir = MakeGameFolder();
    WriteScript(dir, ";mode320\n*define\n" + define + "game\n*start\n" + story + "end\n");
    for (const auto& f : ButtonPictures()) WriteGameFile(dir, f.first, f.second);
    RunOptions opt;
    opt.events = ShiftEvents(events);
    opt.max_ms = 60000;
    return RunFramed(dir, opt);
}
