// The savepoint before a journaled command, or before one that changes
// nothing the image holds, holds the state of its moment.  Each case runs a
// story twice in process: once with the savepoint the interpreter takes
// before the command (its image deferred, the command's changes journaled),
// once with an image built by the savepoint command at the same place of the
// same line before the command runs.  The two slot images must be the same
// bytes.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "core/dispatch.h"
#include "graphics/effect.h"
#include "graphics/sprite.h"
#include "save/gamestate.h"
#include "save/journal.h"
#include "save/savepoint.h"
#include "tests/core/flow_fixture.h"
#include "tests/graphics/compose_fixture.h"

namespace {

class SavepointJournal : public FlowTest {
protected:
    // Pictures for the sprite commands: a.bmp, and b.bmp of two cells.
    void SetUp() override {
        FlowTest::SetUp();
        std::string dir = EnterGameFolder();
        WriteGameFile(dir, "a.bmp", SolidBmp(6, 4, kRed));
        WriteGameFile(dir, "b.bmp", SolidBmp(8, 4, kBlue));
    }
    // The slot image of the last savepoint after the story, which ends at the
    // end of the script (or at a fatal error).
    // A new game keeps the sprites' pictures (with their cells and alphas)
    // for a later load of the same tag: each story starts without them.
    std::vector<uint8_t> ImageAfter(const std::string& define, const std::string& story,
                                    std::string* fatal = nullptr) {
        for (Sprite& s : Sprites) {
            DestroySurface(&s.surface);
            s = Sprite();
        }
        for (Sprite2& s : Sprites2) {
            DestroySurface(&s.surface);
            s = Sprite2();
        }
        std::string error = Play("*define\n" + define + "\ngame\n*start\n" + story);
        if (fatal) *fatal = error;
        return SavepointImage();
    }
    static std::vector<uint8_t> LiveState() {
        SaveStream s;
        OpenSaveWriter(&s, SaveDataLimit);
        WriteGameState(&s);
        return s.image;
    }
};

struct Case {
    const char* define;
    const char* setup;  // lines before the command's line
    const char* command;
    const char* tail;   // lines behind it
    bool changes;       // the command changes what the image holds
};

// "" when equal, else where the images part.
std::string Difference(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b) {
    if (a == b) return "";
    size_t i = 0;
    while (i < a.size() && i < b.size() && a[i] == b[i]) i++;
    return "sizes " + std::to_string(a.size()) + " and " + std::to_string(b.size()) +
           ", first difference at byte " + std::to_string(i);
}

std::string Values(int n) {
    std::string s;
    for (int i = 0; i < n; i++) s += "," + std::to_string(i * 7 - 3);
    return s;
}

const Case kCases[] = {
    {"", "mov %1,3", "add %1,5", "", true},
    {"", "mov $1,\"a\"", "add $1,\"b\"", "", true},
    {"", "mov %1,3", "sub %1,5", "", true},
    {"", "mov %1,3", "inc %1", "", true},
    {"", "mov %1,3", "dec %1", "", true},
    {"", "mov %1,3", "mul %1,4", "", true},
    {"", "mov %1,9", "div %1,2", "", true},
    {"", "mov %1,9", "mod %1,2", "", true},
    {"", "mov %1,-1", "rnd %1,10", "", true},
    {"", "mov %1,-1", "rnd2 %1,5,9", "", true},
    {"", "", "sin %1,90", "", true},
    {"", "", "cos %1,0", "", true},
    {"", "", "tan %1,45", "", true},
    {"", "mov %1,3", "mov %1,9", "", true},
    {"", "mov $1,\"a\"", "mov $1,\"x\"", "", true},
    {"dim ?0[3]", "", "mov ?0[1],4", "", true},
    {"", "", "mov3 %1,1,2,3", "", true},
    {"", "", "mov4 %1,1,2,3,4", "", true},
    {"", "", "mov5 %1,1,2,3,4,5", "", true},
    {"", "", "mov6 %1,1,2,3,4,5,6", "", true},
    {"", "", "mov7 %1,1,2,3,4,5,6,7", "", true},
    {"", "", "mov8 %1,1,2,3,4,5,6,7,8", "", true},
    {"", "", "mov9 %1,1,2,3,4,5,6,7,8,9", "", true},
    {"", "", "mov10 %1,1,2,3,4,5,6,7,8,9,10", "", true},
    {"dim ?0[3]", "", "movl ?0,5,6,7,8", "", true},
    {"", "", "for %1=1 to 3", "", true},
    // The loop runs the line again until its last next.
    {"", "for %2=1 to 3", "next", "", true},
    {"", "for %2=1 to 3", "break", "next\n", true},
    {"", "", "goto *l1", "*l1\n", false},
    {"", "", "gosub *l1", "*l1\n", true},
    {"", "gosub *s\n*s", "return *fin", "*fin\n", true},
    {"", "gosub *s\n*s", "noreturn", "", true},
    // A command the script defines is called as gosub calls.
    {"defsub mycmd", "", "mycmd 7", "*mycmd\n", true},
    {"", "", "tablegoto 1,*a,*b", "*a\n*b\n", false},
    {"", "", "jumpf", "~\n", false},
    {"", "", "jumpb ~", "", false},  // back to the '~' behind it
    {"", "", "skip 2", "\n\n", false},
    {"", "", "if %1 = 1 mov %2,5", "", false},
    {"", "", "notif %1 = 0 mov %2,5", "", false},
    {"", "", "cmp %1,\"a\",\"b\"", "", true},
    {"", "", "len %1,\"abc\"", "", true},
    {"", "", "mid $1,\"abcdef\",1,2", "", true},
    {"", "", "itoa $1,5", "", true},
    {"", "", "itoa2 $1,-5", "", true},
    {"", "", "atoi %1,\"12\"", "", true},
    {"", "", "split \"a,1,2,b\",\",\",$1,%2,%2,$1", "", true},
    {"", "", "splitnum \"a,1\",\",\",2,$1,%2", "", true},
    {"", "mov %1,5", "labelexist %1,*start", "", true},
    {"defsub mycmd", "mycmd 7,\"x\"\n*mycmd", "getparam %1,$2", "", true},
    {"defsub mycmd", "mycmd 7,\"x\"\n*mycmd", "getparam2 %1,$2", "", true},
    {"", "", "getversion %1", "", true},
    {"", "", "debuglog 1", "", false},
    {"", "mov %1,-1", "date %1,%2,%3", "", true},
    {"", "mov %1,-1", "time %1,%2,%3", "", true},
    // Queries polled in loops.
    {"", "mov %1,-5", "gettimer %1", "", true},
    {"", "", "resettimer", "", false},
    {"", "mov %1,-77:mov %2,-77", "getmousepos %1,%2", "", true},
    {"", "mov %1,5", "checkkey %1,\"a\"", "", true},
    {"", "mov %1,5", "isdown %1", "", true},
    {"", "mov %1,-5", "getbtntimer %1", "", true},
    {"", "mov %1,5", "isskip %1", "", true},
    {"", "mov %1,5", "isctrl %1", "", true},
    {"", "mov %1,5", "isfull %1", "", true},
    {"", "mov %1,5", "ispage %1", "", true},
    {"", "mov %1,5", "getspmode %1,3", "", true},
    {"", "mov %1,5:mov %2,5", "getsppos 3,%1,%2", "", true},
    {"", "mov %1,5:mov %2,5:mov %4,5", "getspsize 3,%1,%2,%4", "", true},
    // A bounded variable stored without the bound is clamped by the next
    // store to any variable.
    {"intlimit 5,0,10", "len %5,\"abcdefghijkl\"", "inc %1", "", true},
    // Sprites: tags, places, visibility, cells and alphas.
    {"", "lsp 1,\"a.bmp\",5,6", "lsp 1,\":c/2;b.bmp\",7,8,100", "", true},
    {"", "lsp 1,\":c/2;b.bmp\",5,6:cell 1,1", "lsp 1,\":c/2;b.bmp\",5,6", "", true},  // the same tag: cell 0
    {"", "lsp 1,\"a.bmp\",5,6", "lsph 1,\"b.bmp\",9,9", "", true},
    {"", "lsp 1,\"a.bmp\",5,6", "amsp 1,20,30,77", "", true},
    {"", "lsp 1,\"a.bmp\",5,6,200", "msp 1,-3,4,-50", "", true},
    {"", "lsp 1,\"a.bmp\",5,6", "vsp 1,0", "", true},
    {"", "lsp 1,\":c/2;b.bmp\",5,6", "cell 1,1", "", true},
    {"", "lsp2 2,\"a.bmp\",10,10,100,100,0", "amsp2 2,20,21,50,60,30,128", "", true},
    {"", "lsp2 2,\"a.bmp\",10,10,100,100,0,200", "msp2 2,1,2,3,4,350,-70", "", true},
    {"", "lsp2 2,\"a.bmp\",10,10,100,100,0", "vsp2 2,0", "", true},
    // Commands that change nothing the image holds.
    {"", "lsp 1,\"a.bmp\",5,6:amsp 1,9,9,9", "print 1", "", false},
    {"", "lsp 1,\"a.bmp\",5,6:amsp 1,9,9,9", "print 10,300", "", false},
    {"", "", "clickclear", "", false},
};

TEST_F(SavepointJournal, ImageIsTheStateBeforeTheCommand) {
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.command);
        std::string setup = std::string(c.setup) + "\n";
        std::string tail = c.tail;
        std::vector<uint8_t> eager =
            ImageAfter(c.define, setup + "saveoff:savepoint:" + c.command + "\n" + tail);
        std::vector<uint8_t> journaled =
            ImageAfter(c.define, setup + "debuglog 0:debuglog 0:" + c.command + "\n" + tail);
        ASSERT_FALSE(eager.empty());

        EXPECT_EQ(Difference(journaled, eager), "");
        std::vector<uint8_t> live = LiveState();
        bool same = live.size() <= journaled.size() &&
                    std::equal(live.begin(), live.end(), journaled.begin());
        EXPECT_EQ(!same, c.changes);
    }
}

// A command that records more values than the journal holds has the image
// built in the middle of it, still of the state before it.
TEST_F(SavepointJournal, FullJournalBuildsTheImageAtOnce) {
    std::string values = Values(3000);
    std::vector<uint8_t> eager = ImageAfter("dim ?0[2999]", "saveoff:savepoint:movl ?0" + values + "\n");
    std::vector<uint8_t> journaled =
        ImageAfter("dim ?0[2999]", "debuglog 0:debuglog 0:movl ?0" + values + "\n");
    EXPECT_EQ(Difference(journaled, eager), "");
    EXPECT_EQ(ArrayVariables[0].data[2999], 2999 * 7 - 3);
}

// A command outside the journal has its image built before it runs; one
// inside it records what it changes.
TEST_F(SavepointJournal, OtherCommandsBuildTheImageFirst) {
    std::vector<uint8_t> eager = ImageAfter("", "saveoff:savepoint:seteffectspeed 7\n");
    std::vector<uint8_t> deferred = ImageAfter("", "debuglog 0:debuglog 0:seteffectspeed 7\n");
    EXPECT_EQ(EffectSpeed, 7);
    EXPECT_EQ(Difference(deferred, eager), "");
    EXPECT_FALSE(CommandIsJournaled("seteffectspeed"));
}

// The sprite sections of a savepoint's image are kept from the one before
// and only the sprites changed since are written again.  After each story a
// new savepoint's image must be the live state written out in full, whatever
// changed the sprites: commands journaled or not, a savepoint built from a
// journal (whose changes are put back after it), tags of another length,
// more sprites than are marked one by one, animation, a logsp sprite (saved
// without its tag), loads of upright and of rotated sprites.  The rows run
// in one process, each from the kept sections the last one left; %60 is a
// global variable, kept across the loads.
TEST_F(SavepointJournal, KeptSpriteSectionsFollowEveryChange) {
    struct Row {
        const char* story;
        bool loads;
    };
    const Row kRows[] = {
        {"lsp 1,\"a.bmp\",5,6:savepoint:amsp 1,20,30,77", false},
        {"lsp 1,\"a.bmp\",5,6:savepoint:lsp 1,\":c/2;b.bmp\",7,8:savepoint:cell 1,1:seteffectspeed 3", false},
        {"lsp 1,\"a.bmp\",5,6:savepoint:vsp 1,0:savepoint:csp 1", false},
        {"for %1=0 to 99:lsp %1,\"a.bmp\",%1,%1:next:savepoint:for %1=0 to 99:amsp %1,1,2,3:next", false},
        {"for %1=0 to 99:lsp %1,\"a.bmp\",%1,%1:next:savepoint:amsp 7,1,2,3:csp -1", false},
        {"lsp2 2,\"a.bmp\",10,10,100,100,0:savepoint:msp2 2,1,2,3,4,350,-70:savepoint:vsp2 2,0", false},
        {"lsp2 2,\"a.bmp\",10,10,100,100,0:savepoint:csp2 2", false},
        {"logsp 4,\"ab\",3,4:savepoint:lsp 4,\"a.bmp\",0,0:savepoint:logsp 4,\"ab\",5,5", false},
        {"lsp 3,\":a/2,100,0;b.bmp\",0,0:savepoint:wait 150", false},
        {"lsp 1,\"a.bmp\",5,6:savegame 1\nif %60 = 1 goto *done\n"
         "mov %60,1:amsp 1,9,9,9:csp 2:loadgame 1\n*done",
         true},
        {"savegame 1\nif %60 = 1 goto *done\n"
         "mov %60,1:lsp2 2,\"a.bmp\",10,10,100,100,0:seteffectspeed 1:loadgame 1\n*done",
         true},
    };
    std::string atEnd;  // each story runs to the script's end, as the empty one
    ImageAfter("", "", &atEnd);
    for (const Row& row : kRows) {
        SCOPED_TRACE(row.story);
        IntVariables[60] = 0;
        GameLoaded = 0;
        std::string fatal;
        ImageAfter("", std::string(row.story) + "\n", &fatal);
        ASSERT_EQ(fatal, atEnd);
        ASSERT_EQ(GameLoaded != 0, row.loads);
        TakeSavepoint();
        std::vector<uint8_t> image = SavepointImage(), live = LiveState();
        ASSERT_LE(live.size(), image.size());
        EXPECT_EQ(Difference(std::vector<uint8_t>(image.begin(), image.begin() + live.size()), live), "");
    }
}

// A state too large for an image (arrays of more than 200 KB) plays on; a
// save of it is the error.
TEST_F(SavepointJournal, ImageTooLargeIsAnErrorOfTheSave) {
    EXPECT_EQ(Story("mov ?0[5],1\nseteffectspeed 3\nsavepoint", "dim ?0[60000]"), "");
    EXPECT_EQ(Story("savegame 1", "dim ?0[60000]"), "エラー: セーブデータが大きすぎます");
}

// Every journaled command, and every command that changes nothing the image
// holds, is a built-in and has a case above; the latter's cases change
// nothing the image holds.
TEST_F(SavepointJournal, EveryJournaledCommandIsTested) {
    std::set<std::string> tested, changing;
    for (const Case& c : kCases) {
        std::string word = c.command;
        word = word.substr(0, word.find(' '));
        tested.insert(word);
        if (c.changes) changing.insert(word);
    }
    for (int i = 0; i < JournaledCommandCount; i++) {
        const char* name = JournaledCommands[i];
        EXPECT_NE(FindBuiltinCommand(name, 0), nullptr) << name;
        EXPECT_TRUE(tested.count(name)) << name;
        EXPECT_FALSE(CommandIsImageFree(name)) << name;
    }
    for (int i = 0; i < ImageFreeCommandCount; i++) {
        const char* name = ImageFreeCommands[i];
        EXPECT_NE(FindBuiltinCommand(name, 0), nullptr) << name;
        EXPECT_TRUE(tested.count(name)) << name;
        EXPECT_FALSE(changing.count(name)) << name;
    }
}

}  // namespace
