#include "platform/process_services.h"

#include <gtest/gtest.h>

#include <regex>
#include <set>
#include <string>

namespace kestrune::platform {
namespace {

// Temp file names are built from these: they must be random, distinct and of one form everywhere.
TEST(SystemServices, GuidTextsAreDistinctRandomVersionFourGuids) {
  const SystemServices services;
  const std::regex form("[0-9A-F]{8}-[0-9A-F]{4}-4[0-9A-F]{3}-[89AB][0-9A-F]{3}-[0-9A-F]{12}");
  std::set<std::string> seen;
  for (int i = 0; i < 200; ++i) {
    const std::string text = services.NewGuidText();
    EXPECT_TRUE(std::regex_match(text, form)) << text;
    seen.insert(text);
  }
  EXPECT_EQ(seen.size(), 200u);
}

}  // namespace
}  // namespace kestrune::platform
