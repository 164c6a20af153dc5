#include "extractor/prefix_list.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "platform/process_services.h"

namespace kestrune {
namespace {

using Lines = std::vector<std::string>;

// A list that comes in pieces of a few bytes, as from a pipe.
class PipedText final : public platform::Stream {
 public:
  explicit PipedText(std::string bytes) : bytes_(std::move(bytes)) {}
  std::size_t Read(void* buffer, std::size_t size) override {
    const std::size_t count = std::min({size, bytes_.size() - at_, std::size_t{3}});
    std::memcpy(buffer, bytes_.data() + at_, count);
    at_ += count;
    return count;
  }
  void Write(const void*, std::size_t) override {}
  void SeekToEnd() override {}
  void Close() override {}

 private:
  std::string bytes_;
  std::size_t at_ = 0;
};

TEST(PrefixList, CutsAtEveryKindOfLineBreakAndCountsWhatItGives) {
  const struct {
    std::string text;
    Lines lines;
  } cases[] = {
      {"", {}},
      {"a", {"a"}},
      {"a\r\n", {"a"}},
      {"a\r\nb", {"a", "b"}},
      {"a\rb\nc\r\nd", {"a", "b", "c", "d"}},
      {"a\n\nb\n", {"a", "", "b"}},
      {"\r\n\r\n", {"", ""}},
      {"a\n\r", {"a", ""}},  // LF then a lone CR: two breaks
      {"a\r\r\n", {"a", ""}},
  };
  for (const auto& [text, lines] : cases) {
    SCOPED_TRACE(testing::PrintToString(text));
    const PrefixList list(text);
    Lines given;
    PrefixList::Cursor cursor = list.Lines();
    for (std::string_view line; cursor.Next(line);)
      given.emplace_back(line);
    EXPECT_EQ(given, lines);
    EXPECT_EQ(list.LineCount(), lines.size()) << "the progress maximum";
  }
}

TEST(DecodeListText, FollowsTheByteOrderMark) {
  const platform::SystemServices services;
  const struct {
    std::string bytes;
    std::string text;
  } cases[] = {
      {"\xEF\xBB\xBF"
       "1.2.3.4/32",
       "1.2.3.4/32"},
      {std::string("\xFF\xFE"
                   "1\0/\0"
                   "3\0"
                   "2\0",
                   10),
       "1/32"},
      {std::string("\xFE\xFF\0"
                   "1\0/\0"
                   "3\0"
                   "2",
                   10),
       "1/32"},
      {std::string("\xFF\xFE\xE9\0", 4), "\xC3\xA9"},                    // e acute
      {std::string("\xFF\xFE\x3D\xD8\x00\xDE", 6), "\xF0\x9F\x98\x80"},  // a surrogate pair
      {std::string("\xFF\xFE\x00\xD8"
                   "a\0",
                   6),
       "\xEF\xBF\xBD"
       "a"},  // a lone surrogate
      {std::string("\xFF\xFE"
                   "a\0b",
                   5),
       "a"},  // odd last byte
      {"10.0.0.0/24", "10.0.0.0/24"},
  };
  for (const auto& [bytes, text] : cases) {
    SCOPED_TRACE(testing::PrintToString(bytes));
    EXPECT_EQ(DecodeListText(bytes, services), text);
    // A list read whole keeps text that needs no decoding as it was read.
    PipedText stream(bytes);
    const PrefixList list = ReadPrefixList(stream, services);
    Lines lines;
    PrefixList::Cursor cursor = list.Lines();
    for (std::string_view line; cursor.Next(line);)
      lines.emplace_back(line);
    EXPECT_EQ(lines, Lines{text}) << "read from a stream";
  }
}

}  // namespace
}  // namespace kestrune
