#include "platform/ascii_text.h"

#include <gtest/gtest.h>

namespace kestrune {
namespace {

// Skin names and numbers are ASCII; the bytes of a UTF-8 name must pass through untouched.
TEST(AsciiText, OnlyAsciiLettersAndDigitsCount) {
  EXPECT_EQ(Upper("Master Copy.png"), "MASTER COPY.PNG");
  EXPECT_EQ(Upper("caf\xC3\xA9_\xE4.bmp"), "CAF\xC3\xA9_\xE4.BMP");
  EXPECT_TRUE(SameTextIgnoringCase("Options.dat", "OPTIONS.DAT"));
  EXPECT_FALSE(SameTextIgnoringCase("\xC3\xA9", "\xC3\x89"));
  EXPECT_FALSE(SameTextIgnoringCase("a", "ab"));

  struct Case {
    char c;
    int value;
  };
  const Case cases[] = {{'0', 0},  {'9', 9},  {'a', 10}, {'F', 15}, {'f', 15},
                        {'g', -1}, {'G', -1}, {'/', -1}, {':', -1}, {'\xC6', -1}};
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<int>(static_cast<unsigned char>(c.c)));
    EXPECT_EQ(HexDigitValue(c.c), c.value);
  }
}

}  // namespace
}  // namespace kestrune
