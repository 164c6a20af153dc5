#include "app/open_link_win.h"

#include <shellapi.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/about_links.h"

namespace kestrune {
namespace {

struct Call {
  std::wstring file;
  std::wstring parameters;
};

TEST(OpenLink, HandsTheLinkToTheBrowserAndFallsBackWhenItCannotStart) {
  const struct {
    INT_PTR browser_result;
    std::vector<Call> calls;
  } cases[] = {
      {42, {{L"chrome.exe", L"https://example.org/a?b=1"}}},
      {SE_ERR_FNF,
       {{L"chrome.exe", L"https://example.org/a?b=1"}, {L"https://example.org/a?b=1", L""}}},
      {SE_ERR_ACCESSDENIED,
       {{L"chrome.exe", L"https://example.org/a?b=1"}, {L"https://example.org/a?b=1", L""}}},
  };
  for (const auto& row : cases) {
    std::vector<Call> calls;
    OpenLink("https://example.org/a?b=1", [&](const wchar_t* file, const wchar_t* parameters) {
      calls.push_back({file, parameters != nullptr ? parameters : L""});
      return calls.size() == 1 ? row.browser_result : INT_PTR{42};
    });
    ASSERT_EQ(calls.size(), row.calls.size()) << row.browser_result;
    for (std::size_t i = 0; i < calls.size(); ++i) {
      EXPECT_EQ(calls[i].file, row.calls[i].file);
      EXPECT_EQ(calls[i].parameters, row.calls[i].parameters);
    }
  }
}

TEST(OpenLink, LinksAreWebAddresses) {
  for (std::string_view link : {kGithubLink, kSaweriaLink, kYoutubeLink})
    EXPECT_TRUE(link.starts_with("https://")) << link;
  EXPECT_TRUE(kYoutubeLink.ends_with("sub_confirmation=1"));
}

}  // namespace
}  // namespace kestrune
