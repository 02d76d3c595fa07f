// CP932 <-> UTF-8 conversion.
#include <thread>

#include "plat_test.h"

TEST(Text, RoundTrip) {
    struct Case {
        std::string cp932, utf8;
    } cases[] = {
        {"", ""},
        {"abc\\~ 0.txt", "abc\\~ 0.txt"},
        {"\x83\x65\x83\x4c\x83\x58\x83\x67", "テキスト"},
        {"\x8f\x49\x97\xb9\x8a\x6d\x94\x46", "終了確認"},
        {"\x83\x5c\x83\x74\x83\x67\\a", "ソフト\\a"},  // 0x5C as a trail byte
        {"\xb1\xb2\xb3", "ｱｲｳ"},                      // half-width kana
        {"\x81\x40", "\xe3\x80\x80"},                  // ideographic space
        {std::string("a\0b", 3), std::string("a\0b", 3)},
        {"x\n\x82\xa0y", "x\nあy"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Cp932ToUtf8(c.cp932), c.utf8);
        EXPECT_EQ(Utf8ToCp932(c.utf8), c.cp932);
    }
}

TEST(Text, BadBytesBecomeQuestionMarks) {
    struct Case {
        std::string in, out;
    } to_utf8[] = {
        {"\x80", "?"},
        {"a\xa0" "b", "a?b"},
        {"\xfd\xfe\xff", "???"},
        {"\x82", "?"},                    // lead byte at the end
        {"\x82\x20z", "? z"},             // lead byte with a bad trail
        {"\x82\xa0\x80\x82\xa0", "あ?あ"},
    };
    for (const Case& c : to_utf8) EXPECT_EQ(Cp932ToUtf8(c.in), c.out);
    Case to_cp932[] = {
        {"\xff", "?"},
        {"a\xe3\x81", "a?"},              // cut-off sequence
        {"\xf0\x9f\x98\x80!", "?!"},      // no CP932 form: one '?'
        {"\xc3\xa9", "?"},                // é is not in CP932
        {"\x80\x80", "??"},               // stray continuation bytes
        {"あ\xffい", "\x82\xa0?\x82\xa2"},
    };
    for (const Case& c : to_cp932) EXPECT_EQ(Utf8ToCp932(c.in), c.out);
}

TEST(Text, LongTextAndThreads) {
    std::string cp, utf;
    for (int i = 0; i < 5000; i++) {
        cp += "\x82\xa0" "a";
        utf += "あa";
    }
    EXPECT_EQ(Cp932ToUtf8(cp), utf);
    EXPECT_EQ(Utf8ToCp932(utf), cp);
    // Each thread has converters of its own.
    std::thread t([&] { EXPECT_EQ(Cp932ToUtf8(cp), utf); });
    EXPECT_EQ(Utf8ToCp932(utf), cp);
    t.join();
}
