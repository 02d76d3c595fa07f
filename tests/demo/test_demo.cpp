// test_demo.cpp - the bundled demo plays through headless: the title's
// sprite button, the name dialog, the choice, and its window menu as built
// by the define block.
#include <gtest/gtest.h>

#include <dirent.h>

#include <fstream>
#include <sstream>
#include <string>

#include "tests/support/game_folder.h"

namespace {

// Copies the demo's files (and its voice folder) into a fresh game folder,
// so that a run's saves and logs stay out of the source tree.
std::string CopyDemo() {
    std::string dir = MakeGameFolder();
    for (const char* sub : {"", "voice"}) {
        std::string from = std::string(DEMO_DIR) + "/" + sub;
        DIR* d = opendir(from.c_str());
        if (!d) continue;
        while (dirent* e = readdir(d)) {
            std::string name = e->d_name;
            if (name == "." || name == ".." || name == "voice") continue;
            std::ifstream in(from + "/" + name, std::ios::binary);
            std::stringstream bytes;
            bytes << in.rdbuf();
            WriteGameFile(dir, std::string(sub) + (*sub ? "/" : "") + name, bytes.str());
        }
        closedir(d);
    }
    return dir;
}

TEST(Demo, PlaysThroughTitleNameChoiceAndMenu) {
    std::string dir = CopyDemo();
    RunOptions opt;
    opt.click_waits = true;
    opt.max_ms = 120000;
    // The events the Makefile's headless hint plays: the title's first
    // button, the name, then the first choice.
    std::ifstream autoplay(std::string(DEMO_DIR) + "/../scripts/demo-autoplay.events");
    std::stringstream events;
    events << autoplay.rdbuf();
    ASSERT_FALSE(events.str().empty());
    opt.events = "1000 menudump " + dir + "/menu.txt\n" + events.str();
    RunResult r = RunGame(dir, opt);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(r.boxes.empty()) << r.boxes.front();
    std::string menu;
    ASSERT_TRUE(ReadGameFileBytes(dir, "menu.txt", &menu));
    EXPECT_EQ(menu.find("画面 >"), 0u) << menu;
    for (const char* item : {"全画面 = 40002", "設定 >", "文字の速さ = 40030", "ヘルプ >"})
        EXPECT_NE(menu.find(item), std::string::npos) << item << " in\n" << menu;
}

}  // namespace
