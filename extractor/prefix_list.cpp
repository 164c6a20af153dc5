#include "extractor/prefix_list.h"

#include <algorithm>

#include <cstdint>
#include <new>
#include <utility>

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

bool IsAscii(std::string_view bytes) {
  unsigned char any = 0;
  for (const char c : bytes)
    any |= static_cast<unsigned char>(c);
  return (any & 0x80) == 0;
}

}  // namespace

PrefixList::PrefixList(std::string text) : decoded_(std::move(text)) {
  CountLines();
}

PrefixList::PrefixList(platform::ByteBuffer text, std::size_t skip)
    : bytes_(std::move(text)), skip_(std::min(skip, bytes_.size())) {
  CountLines();
}

void PrefixList::CountLines() {
  // Every line break ends a line (CR LF is one), and so does the end of a last line without one.
  const std::string_view text = Text();
  line_count_ = static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
  // A CR ends a line of its own only where no LF follows it.
  for (std::size_t cr = text.find('\r'); cr != std::string_view::npos;
       cr = text.find('\r', cr + 1)) {
    if (cr + 1 == text.size() || text[cr + 1] != '\n')
      ++line_count_;
  }
  if (!text.empty() && text.back() != '\n' && text.back() != '\r')
    ++line_count_;
}

bool PrefixList::Cursor::Next(std::string_view& line) {
  if (rest_.empty())
    return false;
  std::size_t end = 0;
  while (end < rest_.size() && rest_[end] != '\n' && rest_[end] != '\r')
    ++end;
  line = rest_.substr(0, end);
  if (end < rest_.size() && rest_[end] == '\r' && end + 1 < rest_.size() && rest_[end + 1] == '\n')
    ++end;
  rest_.remove_prefix(std::min(end + 1, rest_.size()));
  return true;
}

namespace {

// The text of `bytes` as DecodeListText gives it, kept in the buffer where it needs no decoding.
PrefixList DecodedList(platform::ByteBuffer bytes, const platform::ProcessServices& services) {
  const std::string_view view(bytes.data(), bytes.size());
  if (StartsWith(view, "\xEF\xBB\xBF"))
    return PrefixList(std::move(bytes), 3);
  if (StartsWith(view, "\xFF\xFE"))
    return PrefixList(Utf16ToUtf8(view.substr(2), false));
  if (StartsWith(view, "\xFE\xFF"))
    return PrefixList(Utf16ToUtf8(view.substr(2), true));
  // Plain ASCII reads the same in every code page: no conversion, no copy.
  if (IsAscii(view))
    return PrefixList(std::move(bytes), 0);
  return PrefixList(services.AnsiToUtf8(view));
}

}  // namespace

std::string DecodeListText(std::string bytes, const platform::ProcessServices& services) {
  if (StartsWith(bytes, "\xEF\xBB\xBF"))
    return bytes.erase(0, 3);
  if (StartsWith(bytes, "\xFF\xFE"))
    return Utf16ToUtf8(std::string_view(bytes).substr(2), false);
  if (StartsWith(bytes, "\xFE\xFF"))
    return Utf16ToUtf8(std::string_view(bytes).substr(2), true);
  if (IsAscii(bytes))
    return bytes;
  return services.AnsiToUtf8(bytes);
}

PrefixList LoadPrefixList(const std::string& path, const platform::ProcessServices& services) {
  const auto file = services.Open(path, platform::OpenMode::kReadDenyWrite);
  const auto size = platform::FileSize(path);
  if (size && *size > kMaxListBytes)
    throw Error(TooLargeText(path, FormatBytes(*size)));
  auto lines = ReadPrefixList(*file, services, path, size.value_or(0));
  file->Close();
  return lines;
}

PrefixList ReadPrefixList(platform::Stream& stream, const platform::ProcessServices& services,
                          std::string_view name, std::uint64_t expected_size) {
  std::size_t used = 0;
  try {
    // Read straight into one buffer of the expected size (plus one byte, to see the end without a
    // regrowth); a list of 200,000 lines is a few megabytes.
    constexpr std::size_t kChunk = 65536;
    platform::ByteBuffer bytes(static_cast<std::size_t>(std::min(expected_size, kMaxListBytes)) +
                               1);
    for (;;) {
      // Only a full buffer grows: the byte past the expected size is where a file's end shows.
      if (bytes.capacity() == used)
        bytes.Reserve(std::max(bytes.capacity() * 2, used + kChunk));
      const std::size_t got = stream.Read(bytes.data() + used, bytes.capacity() - used);
      if (got == 0)
        break;
      used += got;
      bytes.Resize(used);
      if (used > kMaxListBytes)
        throw Error(TooLargeText(name, ""));
    }
    return DecodedList(std::move(bytes), services);
  } catch (const std::bad_alloc&) {
    throw Error("Not enough memory to hold the lines of the prefix list \"" + std::string(name) +
                "\" (" + FormatBytes(used) + " bytes read).");
  }
}

}  // namespace kestrune
