// A slot loaded and saved at once gives the same bytes.  The slots are
// written field by field from the layout of the state image (the default
// cursors and setcursor ones, empty and loaded lsp2 records, sprites and
// standing pictures), loaded by a game that saves again at the same
// statement, and the two files compared.
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "tests/graphics/compose_fixture.h"
#include "tests/support/game_folder.h"

namespace {

// One field of a slot: an int32 or a NUL-ended text, named "item.record.n"
// (records and fields counted from 0).
struct Field {
    std::string name;
    bool text = false;
    int32_t value = 0;
    std::string bytes;
};

// Walks a slot by the layout of the state image (no arrays, version above 0)
// and its tail; false when the bytes do not fit it.
class SlotFields {
public:
    std::vector<Field> fields;

    bool Parse(const std::string& b, int global_border) {
        data_ = &b;
        pos_ = 0;
        fields.clear();
        Ints(1, 1);
        Ints(2, 2);
        Ints(3, 1);
        Ints(4, 1);
        Ints(5, 3);
        Texts(6, 2);
        Ints(7, 2);
        Text("7.0.2");
        Ints(8, 10);
        Ints(9, 4);
        Texts(10, 1);
        Ints(11, 6);
        Texts(12, 1);
        Texts(13, 3);
        Ints(14, 6);
        Ints(15, 6);
        for (int i = 0; i < 1000; i++) Record(16, i, "tiiiii");
        for (int i = 0; i < global_border; i++) Record(17, i, "it");
        int32_t depth = Int("18.0.0");
        for (int i = 0; i < depth && ok_; i++) Int("18.1." + std::to_string(i));
        Ints(19, 4);
        Ints(20, 1);
        Texts(21, 2);
        Ints(22, 5);
        Record(23, 0, "it");
        Ints(24, 1);
        Ints(25, 1);
        for (int i = 0; i < 100; i++) Record(26, i, "iiiiiii");
        for (int i = 0; i < 100; i++) Record(26, 100 + i, "iiiiii");
        Ints(27, 1);
        Ints(28, 2);
        Texts(29, 1);
        Ints(31, 2);
        Texts(32, 2);
        Record(33, 0, "iiiti");
        for (int i = 0; i < 256; i++) Record(34, i, "tiiiiiiii");
        Ints(35, 4);
        Ints(36, 2);
        Record(37, 0, "it");
        Ints(38, 1);
        Ints(39, 4);
        for (int list = 0; list < 2; list++) {
            int32_t n = Int(std::to_string(40 + list) + ".0.0");
            for (int i = 0; i < n && ok_; i++) Text(std::to_string(40 + list) + ".1." + std::to_string(i));
        }
        Ints(42, 1);
        Ints(43, 1);
        return ok_ && pos_ == b.size();
    }

    Field* Find(const std::string& name) {
        for (Field& f : fields)
            if (f.name == name) return &f;
        ADD_FAILURE() << "no field " << name;
        return nullptr;
    }
    void SetInt(const std::string& name, int32_t v) {
        if (Field* f = Find(name)) f->value = v;
    }
    void SetText(const std::string& name, const std::string& t) {
        if (Field* f = Find(name)) f->bytes = t;
    }

    std::string Bytes() const {
        std::string out;
        for (const Field& f : fields) {
            if (f.text) {
                out += f.bytes;
                out += '\0';
            } else {
                for (int i = 0; i < 4; i++) out += char(uint32_t(f.value) >> (8 * i));
            }
        }
        return out;
    }

private:
    const std::string* data_ = nullptr;
    size_t pos_ = 0;
    bool ok_ = true;

    int32_t Int(const std::string& name) {
        Field f{name, false, 0, ""};
        if (pos_ + 4 > data_->size()) {
            ok_ = false;
            return 0;
        }
        uint32_t u = 0;
        for (int i = 0; i < 4; i++) u |= uint32_t(uint8_t((*data_)[pos_ + i])) << (8 * i);
        pos_ += 4;
        f.value = int32_t(u);
        fields.push_back(f);
        return f.value;
    }
    void Text(const std::string& name) {
        size_t nul = data_->find('\0', pos_);
        if (nul == std::string::npos) {
            ok_ = false;
            return;
        }
        Field f{name, true, 0, ""};
        f.bytes = data_->substr(pos_, nul - pos_);
        pos_ = nul + 1;
        fields.push_back(f);
    }
    void Ints(int item, int n) {
        for (int i = 0; i < n; i++) Int(std::to_string(item) + ".0." + std::to_string(i));
    }
    void Texts(int item, int n) {
        for (int i = 0; i < n; i++) Text(std::to_string(item) + ".0." + std::to_string(i));
    }
    // kinds: 'i' an int, 't' a text.
    void Record(int item, int record, const char* kinds) {
        for (int i = 0; kinds[i]; i++) {
            std::string name = std::to_string(item) + "." + std::to_string(record) + "." + std::to_string(i);
            if (kinds[i] == 'i')
                Int(name);
            else
                Text(name);
        }
    }
};

// The game loads slot 1 when it exists and saves slot 2 at "savegame 2",
// the statement the slots resume at.
const char* const kScript = "*define\ngame\n*start\nloadgame 1\nsavegame 2\nend\n";

}  // namespace

TEST(SlotRoundTrip, LoadedAndSavedAtOnceGivesTheSameBytes) {
    std::string dir = MakeGameFolder();
    WriteGameFile(dir, "a.bmp", SolidBmp(8, 6, kRed));
    WriteGameFile(dir, "b.bmp", SolidBmp(12, 20, kGreen));
    WriteGameFile(dir, "c.bmp", SolidBmp(4, 4, kBlue));
    WriteScript(dir, kScript);
    RunResult r = RunGame(dir);
    ASSERT_EQ(r.status, 0) << r.err;
    std::string first;
    ASSERT_TRUE(ReadGameFileBytes(dir, "save2.dat", &first));
    SlotFields base;
    ASSERT_TRUE(base.Parse(first, 200));
    // A new game keeps the default cursors: their tags are "".
    EXPECT_EQ(base.Find("6.0.0")->bytes, "");
    EXPECT_EQ(base.Find("6.0.1")->bytes, "");

    struct Case {
        const char* what;
        std::function<void(SlotFields&)> edit;
    } cases[] = {
        {"a new game", [](SlotFields&) {}},
        {"the default cursors",
         [](SlotFields& s) {
             s.SetText("6.0.0", "");
             s.SetText("6.0.1", "");
         }},
        {"setcursor pictures",
         [](SlotFields& s) {
             s.SetText("6.0.0", ":a;c.bmp");
             s.SetText("6.0.1", "c.bmp");
             s.SetInt("11.0.0", 0);
             s.SetInt("11.0.2", 500);
             s.SetInt("11.0.4", 400);
         }},
        {"a page cursor of its own beside the default click cursor",
         [](SlotFields& s) { s.SetText("6.0.1", "c.bmp"); }},
        {"lsp2 records, empty and loaded",
         [](SlotFields& s) {
             s.SetInt("34.7.7", 255);  // an empty record keeps the alpha it holds
             s.SetInt("34.8.7", 40);
             s.SetInt("34.8.1", 33);
             s.SetText("34.9.0", "a.bmp");
             for (int i = 1; i <= 6; i++) s.SetInt("34.9." + std::to_string(i), 10 * i);
             s.SetInt("34.9.7", 255);
             s.SetInt("34.9.8", 1);
         }},
        {"sprites",
         [](SlotFields& s) {
             s.SetText("16.5.0", ":c;a.bmp");
             s.SetInt("16.5.1", 100);
             s.SetInt("16.5.2", 120);
             s.SetInt("16.5.3", 1);
             s.SetInt("16.5.5", 128);
             s.SetInt("16.6.5", 77);  // empty: cell and alpha kept as well
             s.SetInt("16.6.4", 2);
         }},
        {"standing pictures",
         [](SlotFields& s) {
             s.SetText("13.0.0", "b.bmp");
             s.SetText("13.0.2", "c.bmp");
             s.SetInt("14.0.0", 40);
             s.SetInt("14.0.3", 200);
             s.SetInt("15.0.3", 90);
             s.SetInt("15.0.5", 30);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SlotFields slot = base;
        c.edit(slot);
        std::string bytes = slot.Bytes();
        WriteGameFile(dir, "save1.dat", bytes);
        std::remove((dir + "/save2.dat").c_str());
        r = RunGame(dir);
        ASSERT_EQ(r.status, 0) << r.err;
        std::string again;
        ASSERT_TRUE(ReadGameFileBytes(dir, "save2.dat", &again));
        if (again == bytes) continue;
        SlotFields back;
        ASSERT_TRUE(back.Parse(again, 200));
        ASSERT_EQ(back.fields.size(), slot.fields.size());
        for (size_t i = 0; i < slot.fields.size(); i++) {
            const Field& a = slot.fields[i];
            const Field& b = back.fields[i];
            EXPECT_TRUE(a.value == b.value && a.bytes == b.bytes)
                << a.name << ": " << a.value << " \"" << a.bytes << "\" saved back as " << b.value
                << " \"" << b.bytes << "\"";
        }
    }
}
