// The save stream: byte layout, round trips and reads that would overrun.
#include <gtest/gtest.h>

#include "save/stream.h"

TEST(SaveStream, WritesLittleEndianIntsAndNulTerminatedTexts) {
  SaveStream w;
  OpenSaveWriter(&w, 0);
  int32_t a = 0x01020304, b = -2;
  std::string t = "ab";
  char fixed[8] = "xyz";
  SerializeInt(&w, &a);
  SerializeInt(&w, &b);
  SerializeString(&w, &t);
  SerializeText(&w, fixed, sizeof fixed);
  std::vector<uint8_t> want = {4, 3, 2, 1, 0xfe, 0xff, 0xff, 0xff, 'a', 'b', 0, 'x', 'y', 'z', 0};
  EXPECT_EQ(w.image, want);

  SaveStream r;
  OpenSaveReader(&r, w.image.data(), w.image.size());
  int32_t a2, b2;
  std::string t2;
  char f2[8];
  SerializeInt(&r, &a2);
  SerializeInt(&r, &b2);
  SerializeString(&r, &t2);
  SerializeText(&r, f2, sizeof f2);
  EXPECT_EQ(a2, a);
  EXPECT_EQ(b2, b);
  EXPECT_EQ(t2, "ab");
  EXPECT_STREQ(f2, "xyz");
  EXPECT_FALSE(r.failed);
  EXPECT_TRUE(SaveStreamAtEnd(&r));
}

TEST(SaveStream, OverrunsFailAndYieldZeroOrEmpty) {
  const uint8_t shortInt[] = {1, 2, 3};
  const uint8_t noNul[] = {'a', 'b', 'c'};
  const uint8_t longText[] = {'a', 'b', 'c', 'd', 'e', 0};
  SaveStream r;
  int32_t v = 7;
  OpenSaveReader(&r, shortInt, sizeof shortInt);
  SerializeInt(&r, &v);
  EXPECT_EQ(v, 0);
  EXPECT_TRUE(r.failed);

  std::string t = "old";
  OpenSaveReader(&r, noNul, sizeof noNul);
  SerializeString(&r, &t);
  EXPECT_EQ(t, "");
  EXPECT_TRUE(r.failed);

  char buf[4] = "zz";
  OpenSaveReader(&r, longText, sizeof longText);
  SerializeText(&r, buf, sizeof buf);  // 5 bytes do not fit 3 + NUL
  EXPECT_STREQ(buf, "");
  EXPECT_TRUE(r.failed);

  OpenSaveReader(&r, nullptr, 0);
  SerializeInt(&r, &v);
  EXPECT_TRUE(r.failed);
}

TEST(SaveStream, WriterFailsWhenTheImageReachesItsLimit) {
  SaveStream w;
  OpenSaveWriter(&w, 8);
  int32_t v = 1;
  SerializeInt(&w, &v);
  EXPECT_FALSE(w.failed);
  SerializeInt(&w, &v);  // 8 bytes: reaches the limit
  EXPECT_TRUE(w.failed);
  RewindSaveWriter(&w);
  EXPECT_EQ(SaveStreamLength(&w), 0u);
  EXPECT_FALSE(w.failed);
}
