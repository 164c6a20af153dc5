#include <gtest/gtest.h>

#include <string>

#include "skin/pixels/gradient.h"

namespace kestrune::skin {
namespace {

using namespace std::string_literals;

TsGradPoint Point(std::uint16_t index, std::int32_t mode, std::uint32_t color,
                  std::uint8_t percent) {
  return {index, mode, static_cast<TColor>(color), percent};
}

struct GoodText {
  std::string text;
  TsGradArray points;
};

TEST(PrepareGradArray, ReadsBothLayouts) {
  const GoodText cases[] = {
      {"-10197916;0;12;-10197916;100;12;B",
       {Point(0, 12, 0xFF646464u, 0), Point(1, 12, 0xFF646464u, 100)}},
      // The last point always ends at 100; others keep their place.
      {"255;0;1;65280;40;1;16711680;70;1;C",
       {Point(0, 1, 0xFFu, 0), Point(1, 1, 0xFF00u, 40), Point(2, 1, 0xFF0000u, 100)}},
      // One point: nothing to draw, but it is there.
      {"12345;30;0;A", {Point(0, 0, 12345u, 100)}},
      // Percent clamped to 0..100; spaces and a plus sign are tolerated.
      {" 1 ;-5;0;+2;250;0;3;60;0;C",
       {Point(0, 0, 1u, 0), Point(1, 0, 2u, 100), Point(2, 0, 3u, 100)}},
      // Any alpha segment makes the whole gradient an overlay.
      {"1;0;0;2;100;16;B", {Point(0, 0x20, 1u, 0), Point(1, 0x10, 2u, 100)}},
      // Extra tokens beyond the points counted are ignored.
      {"1;0;0;2;100;0;7;7;7;B", {Point(0, 0, 1u, 0), Point(1, 0, 2u, 100)}},
      {"-2147483648;0;2147483647;2147483647;100;-2147483648;B",
       {Point(0, 2147483647, 0x80000000u, 0), Point(1, -2147483647 - 1, 0x7FFFFFFFu, 100)}},
      // Older layout: five tokens a point, percent is the sum of the steps before, opaque
      // colours, no alpha flag; the first point sits at 0 whatever its own step.
      {"255;9;30;16;9;65280;9;50;0;9;16711680;9;40;0;0",
       {Point(0, 0, 0xFF0000FFu, 0), Point(1, 0, 0xFF00FF00u, 30), Point(2, 0, 0xFFFF0000u, 100)}},
      {"1;x;70;0;x;2;x;70;0;x;3;x;70;0;0",
       {Point(0, 0, 0xFF000001u, 0), Point(1, 0, 0xFF000002u, 70), Point(2, 0, 0xFF000003u, 100)}},
      // Negative steps count as 0; leftover tokens after whole points are ignored.
      {"-1;;-20;1;;5;;10;1;;7;0", {Point(0, 1, 0xFFFFFFFFu, 0), Point(1, 1, 0xFF000005u, 100)}},
      // Older corner gradient padded to five points with the last one.
      {"1;0;50;2;0;2;0;50;2;0",
       {Point(0, 2, 0xFF000001u, 0), Point(1, 2, 0xFF000002u, 50), Point(2, 2, 0xFF000002u, 50),
        Point(3, 2, 0xFF000002u, 50), Point(4, 2, 0xFF000002u, 100)}},
  };
  for (const auto& [text, points] : cases) {
    SCOPED_TRACE(text);
    TsGradArray data{Point(9, 9, 9, 9)};
    EXPECT_TRUE(PrepareGradArray(text, data));
    EXPECT_EQ(data, points);
  }
}

TEST(PrepareGradArray, ShortTextIsNoGradient) {
  for (const char* text : {"", "N/A", "0;0A", "   B"}) {
    SCOPED_TRACE(text);
    TsGradArray data{Point(0, 0, 0, 100)};
    EXPECT_TRUE(PrepareGradArray(text, data));
    EXPECT_TRUE(data.empty());
  }
}

TEST(PrepareGradArray, MalformedTextIsNoGradient) {
  const std::string cases[] = {
      // The letter promises more points than there are tokens.
      "1;0;0;2;100;0;C",
      "1;0;0;2;100;0;Z",
      "0;0;0;0;0;0;0;0;0;0;0;0;Z",
      // Not a decimal number, or beyond 32 bits.
      "1;0;0;2;100;zero;B",
      "1;0;0;2;100;;B",
      "1;0;0;2;1e2;0;B",
      "0x10;0;0;2;100;0;B",
      "+-1;0;0;2;100;0;B",
      "1;0;0;2;100;0B",
      "1;0;0\0;2;100;0;B"s,
      "2147483648;0;0;2;100;0;B",
      "1;0;0;2;-2147483649;0;B",
      "1;0;99999999999999999999;A",
      // The last character names neither layout.
      "1;0;0;2;100;0;b",
      "1;0;0;2;100;0;7",
      "1;0;0;2;100;0;[",
      "1;0;0;2;100;0;@",
      // Older layout: a bad number where one is read, or no whole point.
      "1;2;x;4;50",
      "1;x;y;0;0",
      "123;4560",
  };
  for (const auto& text : cases) {
    SCOPED_TRACE(text);
    TsGradArray data{Point(0, 0, 0, 100)};
    EXPECT_FALSE(PrepareGradArray(text, data));
    EXPECT_TRUE(data.empty());
  }
}

TEST(PrepareGradArray, LongTextsStayLinear) {
  // Many tokens in the older layout: every one becomes a point, no overflow of the percent sum.
  std::string text;
  for (int i = 0; i < 100000; ++i)
    text += "5;0;100;0;0;";
  text += "5;0;100;0;0";
  TsGradArray data;
  ASSERT_TRUE(PrepareGradArray(text, data));
  ASSERT_EQ(data.size(), 100001u);
  EXPECT_EQ(data[1].Percent, 100);
  EXPECT_EQ(data.back().Percent, 100);
  // The letter layout never reads past the 26 points a letter can count.
  std::string letters;
  for (int i = 0; i < 30; ++i)
    letters += "1;50;0;";
  letters += "Z";
  ASSERT_TRUE(PrepareGradArray(letters, data));
  EXPECT_EQ(data.size(), 26u);
}

}  // namespace
}  // namespace kestrune::skin
