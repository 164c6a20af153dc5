// Reading gradient texts of the skin options.
//
// Tokens are separated by ';' and hold decimal signed 32-bit numbers (optional sign, spaces
// around a token allowed). Recovery: anything that is not a number where one is read, a number
// outside 32 bits, a letter count beyond the tokens present, or a last character that names
// neither layout makes the whole text no gradient. Tokens beyond those the layout reads are
// ignored.

#include <algorithm>
#include <charconv>
#include <optional>

#include "skin/pixels/gradient.h"

namespace kestrune::skin {
namespace {

// Text of 4 characters or fewer (such as "N/A") is no gradient.
constexpr std::size_t kMinTextLength = 5;
// The older layout's five-point corner gradient.
constexpr std::size_t kCornerPoints = 5;

std::vector<std::string_view> SplitTokens(std::string_view text) {
  std::vector<std::string_view> tokens;
  std::size_t start = 0;
  while (true) {
    const std::size_t end = text.find(';', start);
    tokens.push_back(text.substr(start, end == std::string_view::npos ? end : end - start));
    if (end == std::string_view::npos)
      return tokens;
    start = end + 1;
  }
}

std::optional<std::int32_t> ParseInt(std::string_view token) {
  while (!token.empty() && token.front() == ' ')
    token.remove_prefix(1);
  while (!token.empty() && token.back() == ' ')
    token.remove_suffix(1);
  if (token.size() > 1 && token.front() == '+' && token[1] != '-')
    token.remove_prefix(1);
  std::int32_t value = 0;
  const auto [end, error] = std::from_chars(token.data(), token.data() + token.size(), value);
  if (error != std::errc() || end != token.data() + token.size())
    return std::nullopt;
  return value;
}

std::uint8_t ClampPercent(std::int32_t value) {
  return static_cast<std::uint8_t>(std::clamp(value, 0, 100));
}

bool ReadLetterLayout(const std::vector<std::string_view>& tokens, std::size_t count,
                      TsGradArray& data) {
  if (tokens.size() < 3 * count)
    return false;
  bool transparent = false;
  for (std::size_t b = 0; b < count; ++b) {
    const auto color = ParseInt(tokens[3 * b]);
    const auto percent = ParseInt(tokens[3 * b + 1]);
    const auto mode = ParseInt(tokens[3 * b + 2]);
    if (!color || !percent || !mode)
      return false;
    data.push_back({static_cast<std::uint16_t>(b), *mode, *color, ClampPercent(*percent)});
    transparent = transparent || (*mode & PM_TRANSPARENT) != 0;
  }
  // A segment with alpha cannot be mixed into the background by percent.
  if (transparent)
    data.front().Mode |= PM_OVERLAY;
  return true;
}

bool ReadOlderLayout(const std::vector<std::string_view>& tokens, TsGradArray& data) {
  const std::size_t count = tokens.size() / 5;
  if (count == 0)
    return false;
  data.reserve(std::max(count, kCornerPoints));
  int position = 0;
  for (std::size_t c = 0; c < count; ++c) {
    const auto color = ParseInt(tokens[5 * c]);
    const auto step = ParseInt(tokens[5 * c + 2]);
    const auto mode = ParseInt(tokens[5 * c + 3]);
    if (!color || !step || !mode)
      return false;
    const auto opaque =
        static_cast<TColor>((static_cast<std::uint32_t>(*color) & 0xFFFFFFu) | 0xFF000000u);
    data.push_back({static_cast<std::uint16_t>(c), *mode & ~PM_TRANSPARENT, opaque,
                    static_cast<std::uint8_t>(position)});
    position = std::min(100, position + ClampPercent(*step));
  }
  if ((data.front().Mode & MASK_DIRECTION) == PM_DIAGONAL) {
    while (data.size() < kCornerPoints) {
      TsGradPoint copy = data.back();
      copy.Index = static_cast<std::uint16_t>(data.size());
      data.push_back(copy);
    }
  }
  return true;
}

}  // namespace

bool PrepareGradArray(std::string_view text, TsGradArray& data) {
  data.clear();
  if (text.size() < kMinTextLength)
    return true;
  const char last = text.back();
  const auto tokens = SplitTokens(text);
  bool ok = false;
  if (last >= 'A' && last <= 'Z')
    ok = ReadLetterLayout(tokens, static_cast<std::size_t>(last - 'A' + 1), data);
  else if (last == '0')
    ok = ReadOlderLayout(tokens, data);
  if (!ok) {
    data.clear();
    return false;
  }
  data.back().Percent = 100;
  return true;
}

}  // namespace kestrune::skin
