#include "extractor/prefix_list.h"

#include <algorithm>

#include <cstdint>
#include <new>

#include "platform/error.h"

namespace kestrune {
namespace {

void AppendUtf8(std::string& text, std::uint32_t code) {
  if (code < 0x80) {
    text += static_cast<char>(code);
  } else if (code < 0x800) {
    text += static_cast<char>(0xC0 | (code >> 6));
    text += static_cast<char>(0x80 | (code & 0x3F));
  } else if (code < 0x10000) {
    text += static_cast<char>(0xE0 | (code >> 12));
    text += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    text += static_cast<char>(0x80 | (code & 0x3F));
  } else {
    text += static_cast<char>(0xF0 | (code >> 18));
    text += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
    text += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    text += static_cast<char>(0x80 | (code & 0x3F));
  }
}

// UTF-16 to UTF-8; an unpaired surrogate becomes U+FFFD and an odd last byte is dropped.
std::string Utf16ToUtf8(std::string_view bytes, bool big_endian) {
  const auto unit = [&](std::size_t i) -> std::uint32_t {
    const auto a = static_cast<unsigned char>(bytes[i]);
    const auto b = static_cast<unsigned char>(bytes[i + 1]);
    return big_endian ? (a << 8 | b) : (b << 8 | a);
  };
  std::string text;
  text.reserve(bytes.size());
  const std::size_t count = bytes.size() / 2;
  for (std::size_t k = 0; k < count; ++k) {
    std::uint32_t code = unit(2 * k);
    if (code >= 0xD800 && code <= 0xDBFF && k + 1 < count) {
      const std::uint32_t low = unit(2 * (k + 1));
      if (low >= 0xDC00 && low <= 0xDFFF) {
        code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
        ++k;
      }
    }
    if (code >= 0xD800 && code <= 0xDFFF)
      code = 0xFFFD;
    AppendUtf8(text, code);
  }
  return text;
}

// 67108864 as "67,108,864".
std::string FormatBytes(std::uint64_t value) {
  std::string digits = std::to_string(value);
  for (std::size_t at = digits.size(); at > 3; at -= 3)
    digits.insert(at - 3, ",");
  return digits;
}

// `size` is empty when the list's size is not known (a pipe).
std::string TooLargeText(std::string_view name, const std::string& size) {
  return "The prefix list \"" + std::string(name) + "\" " +
         (size.empty() ? "holds" : "is " + size + " bytes,") + " more than the " +
         FormatBytes(kMaxListBytes) + " bytes a list may have.";
}

bool StartsWith(std::string_view bytes, std::string_view mark) {
  return bytes.substr(0, mark.size()) == mark;
}

}  // namespace

std::string DecodeListText(std::string_view bytes, const platform::ProcessServices& services) {
  if (StartsWith(bytes, "\xEF\xBB\xBF"))
    return std::string(bytes.substr(3));
  if (StartsWith(bytes, "\xFF\xFE"))
    return Utf16ToUtf8(bytes.substr(2), false);
  if (StartsWith(bytes, "\xFE\xFF"))
    return Utf16ToUtf8(bytes.substr(2), true);
  return services.AnsiToUtf8(bytes);
}

std::vector<std::string> SplitLines(std::string_view text) {
  std::vector<std::string> lines;
  // Long lists are the norm; one allocation instead of a chain of regrowths.
  lines.reserve(static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')) + 1);
  std::size_t start = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\r' && text[i] != '\n')
      continue;
    lines.emplace_back(text.substr(start, i - start));
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
      ++i;
    start = i + 1;
  }
  if (start < text.size())
    lines.emplace_back(text.substr(start));
  return lines;
}

std::vector<std::string> LoadPrefixList(const std::string& path,
                                        const platform::ProcessServices& services) {
  const auto file = services.Open(path, platform::OpenMode::kReadDenyWrite);
  const auto size = platform::FileSize(path);
  if (size && *size > kMaxListBytes)
    throw Error(TooLargeText(path, FormatBytes(*size)));
  auto lines = ReadPrefixList(*file, services, path, size.value_or(0));
  file->Close();
  return lines;
}

std::vector<std::string> ReadPrefixList(platform::Stream& stream,
                                        const platform::ProcessServices& services,
                                        std::string_view name, std::uint64_t expected_size) {
  std::size_t used = 0;
  try {
    // Read straight into one buffer of the expected size (plus one byte, to see the end without a
    // regrowth); a list of 200,000 lines is a few megabytes.
    constexpr std::size_t kChunk = 65536;
    std::string bytes(static_cast<std::size_t>(std::min(expected_size, kMaxListBytes)) + 1, '\0');
    for (;;) {
      if (bytes.size() - used < kChunk / 4)
        bytes.resize(std::max(bytes.size() * 2, used + kChunk));
      const std::size_t got = stream.Read(bytes.data() + used, bytes.size() - used);
      if (got == 0)
        break;
      used += got;
      if (used > kMaxListBytes)
        throw Error(TooLargeText(name, ""));
    }
    bytes.resize(used);
    return SplitLines(DecodeListText(bytes, services));
  } catch (const std::bad_alloc&) {
    throw Error("Not enough memory to hold the lines of the prefix list \"" + std::string(name) +
                "\" (" + FormatBytes(used) + " bytes read).");
  }
}

}  // namespace kestrune
