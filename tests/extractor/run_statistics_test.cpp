#include "extractor/run_statistics.h"

#include <gtest/gtest.h>

namespace kestrune {
namespace {

const platform::RegionalFormats kEnglish{",", ".", ":"};
const platform::RegionalFormats kGerman{".", ",", ":"};
const platform::RegionalFormats kOdd{"\xC2\xA0", ",", "."};  // no-break space, dotted time

TEST(TrimLine, DropsControlCharactersAndBlanksAtTheEndsOnly) {
  EXPECT_EQ(TrimLine(" \t10.0.0.0 /24\r\x01 "), "10.0.0.0 /24");
  EXPECT_EQ(TrimLine("\t \x1f"), "");
  EXPECT_EQ(TrimLine("\xC3\xA9"), "\xC3\xA9");
}

TEST(CountEstimatedIPs, CountsLinesAcceptedOnTheirPrefix) {
  const struct {
    std::vector<std::string> lines;
    std::uint64_t total;
  } cases[] = {
      {{}, 0},
      {{"10.0.0.0/24", "10.0.1.0/24"}, 512},
      {{"10.0.0.0/24", "999.0.0.0/24"}, 512},
      {{"10.0.0.0/8", "10.0.0.0/24"}, 256},
      {{"1.2.3.4/32", "x/31", " /16 "}, 1 + 2 + 65536},
      {{"no slash", "", "a/b", "a/-1", "a/33", "a/15", "a/$10"}, 65536},
  };
  for (const auto& [lines, total] : cases) {
    SCOPED_TRACE(testing::PrintToString(lines));
    std::string text;
    for (const auto& line : lines)
      text += line + "\n";
    EXPECT_EQ(CountEstimatedIPs(PrefixList(text)), total);
  }
}

TEST(LabelTexts, UseTheRegionalSeparators) {
  EXPECT_EQ(TotalLabelText(65536, kEnglish), "Total IPs: 65,536");
  EXPECT_EQ(TotalLabelText(65536, kGerman), "Total IPs: 65.536");
  EXPECT_EQ(TotalLabelText(0, kEnglish), "Total IPs: 0");
  EXPECT_EQ(RemainingLabelText(999, kEnglish), "Remaining: 999");
  EXPECT_EQ(RemainingLabelText(1000, kOdd),
            "Remaining: 1\xC2\xA0"
            "000");
  EXPECT_EQ(RemainingLabelText(18446744073709551615u, kEnglish),
            "Remaining: 18,446,744,073,709,551,616");  // the value as a double, as shown
  EXPECT_EQ(SpeedLabelText(1234567.891, kEnglish), "Speed: 1,234,567.89 IPs/sec");
  EXPECT_EQ(SpeedLabelText(1234567.891, kGerman), "Speed: 1.234.567,89 IPs/sec");
  EXPECT_EQ(SpeedLabelText(0, kEnglish), "Speed: 0.00 IPs/sec");
  EXPECT_EQ(SpeedLabelText(999.996, kEnglish), "Speed: 1,000.00 IPs/sec");
}

TEST(LabelTexts, EtaShowsHoursMinutesAndSeconds) {
  const struct {
    double seconds;
    const char* text;
  } cases[] = {
      {0, "ETA: 00:00:00"},       {30, "ETA: 00:00:30"},   {29.9996, "ETA: 00:00:30"},
      {29.9994, "ETA: 00:00:29"}, {3661, "ETA: 01:01:01"}, {86399, "ETA: 23:59:59"},
      {90000, "ETA: 25:00:00"},   {-30, "ETA: 00:00:30"},
  };
  for (const auto& [seconds, text] : cases) {
    SCOPED_TRACE(seconds);
    EXPECT_EQ(EtaLabelText(seconds, kEnglish), text);
  }
  EXPECT_EQ(EtaLabelText(3661, kOdd), "ETA: 01.01.01");
}

TEST(ComputeBlockFigures, EstimatesFromTheShareOfLinesJudged) {
  const BlockFigures first = ComputeBlockFigures(10, 256, 1, 4);
  EXPECT_DOUBLE_EQ(first.Speed, 25.6);
  EXPECT_DOUBLE_EQ(first.DoneFraction, 0.25);
  EXPECT_DOUBLE_EQ(first.ETASec, 30);

  const BlockFigures instant = ComputeBlockFigures(0, 256, 2, 2);
  EXPECT_EQ(instant.Speed, 0);
  EXPECT_EQ(instant.ETASec, 0);

  EXPECT_EQ(ComputeBlockFigures(-5, 256, 1, 2).Speed, 0);  // the clock was set back
}

}  // namespace
}  // namespace kestrune
