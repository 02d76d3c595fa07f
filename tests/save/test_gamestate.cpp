// The game-state image in process: the fixed start of its layout, log-text
// sprites saved without their tag, and a write-read round trip that gives
// the state back, while a damaged image changes nothing.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "core/callstack.h"
#include "core/heapstring.h"
#include "core/script.h"
#include "core/variables.h"
#include "graphics/sprite.h"
#include "save/gamestate.h"
#include "text/clickwait.h"
#include "text/textwindow.h"

namespace {

int32_t IntAt(const std::vector<uint8_t>& b, size_t at) {
    return int32_t(uint32_t(b[at]) | uint32_t(b[at + 1]) << 8 | uint32_t(b[at + 2]) << 16 |
                   uint32_t(b[at + 3]) << 24);
}

class GameImage : public ::testing::Test {
protected:
    void SetUp() override {
        VariableCount = 4096;
        GlobalBorder = 200;
        AllocateVariableTables(VariableCount);
        CallStackDepth = 0;
    }
    std::vector<uint8_t> Write() {
        SaveStream s;
        OpenSaveWriter(&s, SaveDataLimit);
        WriteGameState(&s);
        EXPECT_FALSE(s.failed);
        return s.image;
    }
};

TEST_F(GameImage, FixedStartOfTheLayout) {
    TextBold = 1;
    TextShadow = 0;
    TextColorRed = 10;
    TextColorBlue = 20;
    TextColorGreen = 30;
    std::strcpy(WaitCursors[0].tag, "c0");
    WaitCursors[1].tag[0] = 0;
    WindowEffect = 5;
    std::vector<uint8_t> b = Write();
    EXPECT_EQ(IntAt(b, 0), 2);    // version
    EXPECT_EQ(IntAt(b, 4), 1);    // bold
    EXPECT_EQ(IntAt(b, 8), 0);    // shadow
    EXPECT_EQ(IntAt(b, 16), 1);   // right click on
    EXPECT_EQ(IntAt(b, 20), 10);  // red, blue, green
    EXPECT_EQ(IntAt(b, 24), 20);
    EXPECT_EQ(IntAt(b, 28), 30);
    EXPECT_EQ(std::string((const char*)&b[32], 4), std::string("c0\0\0", 4));  // both cursor tags
    EXPECT_EQ(IntAt(b, 36), 5);   // window effect
}

TEST_F(GameImage, LogTextSpritesAreSavedWithoutTheirTag) {
    std::strcpy(Sprites[7].tag.Edit(), "bklg");
    std::vector<uint8_t> b = Write();
    EXPECT_EQ(std::search(b.begin(), b.end(), "bklg", "bklg" + 4), b.end());
    Sprites[7].tag.Edit()[0] = 0;
}

TEST_F(GameImage, RoundTripAndRefusedDamage) {
    IntVariables[3] = -77;
    AssignString(&StrVariables[199], "text");
    std::strcpy(Sprites[999].tag.Edit(), ":c;x.bmp");
    Sprites[999].x = 12;
    TextSpeed = 33;
    std::vector<uint8_t> b = Write();

    IntVariables[3] = 0;
    AssignString(&StrVariables[199], "");
    Sprites[999].tag.Edit()[0] = 0;
    TextSpeed = 1;
    // Cut short by one byte: refused, and nothing changes.
    SaveStream s;
    OpenSaveReader(&s, b.data(), b.size() - 1);
    EXPECT_FALSE(ReadGameState(&s, false));
    EXPECT_EQ(TextSpeed, 1);

    OpenSaveReader(&s, b.data(), b.size());
    ASSERT_TRUE(ReadGameState(&s, false));
    EXPECT_EQ(IntVariables[3], 0);  // the check alone touches nothing
    OpenSaveReader(&s, b.data(), b.size());
    ASSERT_TRUE(ReadGameState(&s, true));
    EXPECT_TRUE(SaveStreamAtEnd(&s));
    EXPECT_EQ(IntVariables[3], -77);
    EXPECT_STREQ(StringText(StrVariables[199]), "text");
    EXPECT_STREQ(Sprites[999].tag, ":c;x.bmp");
    EXPECT_EQ(Sprites[999].x, 12);
    EXPECT_EQ(TextSpeed, 33);
    Sprites[999].tag.Edit()[0] = 0;
}

}  // namespace
