// kestrune-skin check's report of the skin as the manager loads it at each density.

#include "tools/kestrune-skin/skin_density_report.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "skin/data/skin_archive_writer.h"

namespace kestrune::skin_tool {
namespace {

skin::Bytes Archive(const std::string& options) {
  const std::vector<skin::PackedMember> members = {
      {"OPTIONS.DAT", skin::Bytes(options.begin(), options.end())}};
  return skin::PackSkinArchive(members, std::nullopt);
}

TEST(SkinDensityReport, OneLinePerDensity) {
  const DensityReport report =
      ReportDensities(Archive("[GLOBALINFO]\nTITLEHEIGHT=30\n[BUTTON]\nBORDERSMASK=@0000@0000@0030"
                              "@0010@3@0\n"));
  EXPECT_TRUE(report.problems.empty());
  ASSERT_EQ(report.lines.size(), 4u);
  // The file's two sections, TRANSPARENT, MAINCOLOR and five standard sections copied from
  // BUTTON and from each other. The image entries: BUTTON's and the two generated skin-wide
  // outer effects.
  EXPECT_EQ(report.lines[0].substr(0, 52), "96 ppi: 9 sections, 3 image entries; border width 4,");
  EXPECT_NE(report.lines[0].find("title height 30,"), std::string::npos);
  EXPECT_NE(report.lines[2].find("title height 45,"), std::string::npos);
  EXPECT_EQ(report.lines[3].substr(0, 9), "192 ppi: ");
  EXPECT_NE(report.lines[3].find("spacing 8,"), std::string::npos);
}

TEST(SkinDensityReport, WhatTheUserWouldSeeIsAProblem) {
  const DensityReport bad_entry = ReportDensities(Archive("[BUTTON]\nBORDERSMASK=&00x0\n"));
  EXPECT_EQ(bad_entry.problems.front(), "96 ppi: '00X0' is not a valid integer value");
  EXPECT_EQ(bad_entry.problems.size(), 4u);
  EXPECT_TRUE(bad_entry.lines.empty());

  const DensityReport no_options = ReportDensities(
      skin::PackSkinArchive(std::vector<skin::PackedMember>{{"A.BMP", {1}}}, std::nullopt));
  EXPECT_EQ(no_options.problems.size(), 4u);
  EXPECT_EQ(no_options.problems.back(),
            "192 ppi: Internal format error in the \"checked\" skin. Please, update this skin to "
            "latest version.");
}

}  // namespace
}  // namespace kestrune::skin_tool
