#include "skin/data/skin_archive.h"

#define ZLIB_CONST
#include <zlib.h>

#include <algorithm>
#include <array>

#include "platform/ascii_text.h"
#include "platform/error.h"
#include "platform/file_bytes.h"
#include "platform/files.h"

namespace kestrune::skin {
namespace {

constexpr std::size_t kInputBlock = 65536;
constexpr std::size_t kCopyBuffer = 1048576;
// Name length and unpacked size, plus the shortest zlib stream (header, an empty final block,
// Adler-32): no member can take fewer bytes, which bounds a member count before the loop runs.
constexpr std::size_t kSmallestMember = 4 + 4 + 8;

std::uint32_t ReadU32(std::span<const std::uint8_t> data, std::size_t at) {
  return static_cast<std::uint32_t>(data[at]) | static_cast<std::uint32_t>(data[at + 1]) << 8 |
         static_cast<std::uint32_t>(data[at + 2]) << 16 |
         static_cast<std::uint32_t>(data[at + 3]) << 24;
}

[[noreturn]] void Damaged(const std::string& what) {
  throw Error("The skin archive is damaged: " + what + ".");
}

std::string MemberText(const std::string& name) {
  return "The skin archive member \"" + name + "\"";
}

class InflateStream {
 public:
  InflateStream() {
    if (inflateInit(&z_) != Z_OK)
      throw Error("Cannot start zlib decompression.");
  }
  InflateStream(const InflateStream&) = delete;
  InflateStream& operator=(const InflateStream&) = delete;
  ~InflateStream() { inflateEnd(&z_); }
  z_stream* operator->() { return &z_; }
  z_stream* get() { return &z_; }

 private:
  z_stream z_{};
};

// Inflates the zlib stream at `position` and moves `position` to the first byte after it. Output
// grows by at most kCopyBuffer ahead of what the data has produced, so a false `declared` size
// costs nothing; one byte past it is enough to tell an overlong member.
Bytes InflateMember(std::span<const std::uint8_t> archive, std::size_t& position,
                    std::uint32_t declared, const std::string& name) {
  InflateStream z;
  const std::size_t limit = std::size_t{declared} + 1;
  Bytes out;
  std::size_t fed = position;
  for (;;) {
    if (z->avail_in == 0 && fed < archive.size()) {
      z->next_in = archive.data() + fed;
      z->avail_in = static_cast<uInt>(std::min(kInputBlock, archive.size() - fed));
      fed += z->avail_in;
    }
    if (z->avail_out == 0) {
      const std::size_t have = out.size();
      if (have >= limit) {
        throw Error(MemberText(name) + " unpacks to more than its declared " +
                    std::to_string(declared) + " bytes.");
      }
      const std::size_t grow = std::min(kCopyBuffer, limit - have);
      out.resize(have + grow);
      z->next_out = out.data() + have;
      z->avail_out = static_cast<uInt>(grow);
    }
    const int result = inflate(z.get(), Z_NO_FLUSH);
    if (result == Z_STREAM_END)
      break;
    if (result == Z_OK)
      continue;
    if (result == Z_BUF_ERROR && z->avail_in == 0 && fed == archive.size())
      throw Error(MemberText(name) + " is cut short.");
    if (result == Z_BUF_ERROR)
      continue;
    if (result == Z_NEED_DICT)
      throw Error(MemberText(name) + " is damaged: it asks for a preset dictionary.");
    throw Error(MemberText(name) + " is damaged: " +
                (z->msg != nullptr ? std::string(z->msg) : "zlib error " + std::to_string(result)) +
                ".");
  }
  const std::size_t produced = out.size() - z->avail_out;
  if (produced != declared) {
    throw Error(MemberText(name) + " unpacks to " + std::to_string(produced) +
                " bytes instead of its declared " + std::to_string(declared) + ".");
  }
  out.resize(produced);
  position = fed - z->avail_in;
  return out;
}

// Windows-1252 characters 0x80 to 0x9F; the five unassigned codes map to the same C1 controls,
// as the system's conversion does.
constexpr std::array<char16_t, 32> kCp1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

void AppendUtf8(std::string& out, char32_t code) {
  if (code < 0x80) {
    out += static_cast<char>(code);
  } else if (code < 0x800) {
    out += static_cast<char>(0xC0 | (code >> 6));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else {
    out += static_cast<char>(0xE0 | (code >> 12));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  }
}

}  // namespace

void TacSkinConvertor::Clear() {
  while (!Files.empty())
    Files.pop_back();
  Files.shrink_to_fit();
  Options.reset();
  PackedData = {};
  FileCount = 0;
}

bool HasArchiveSignature(std::span<const std::uint8_t> data) {
  return data.size() >= kArchiveSignature.size() &&
         std::equal(kArchiveSignature.begin(), kArchiveSignature.end(), data.begin(),
                    [](char a, std::uint8_t b) { return static_cast<std::uint8_t>(a) == b; });
}

std::size_t ReadPackedMembers(std::span<const std::uint8_t> archive, const MemberSink& sink,
                              std::size_t max_total) {
  // A header shorter than 8 bytes reads as if padded with zeros.
  std::array<std::uint8_t, 8> header{};
  std::copy_n(archive.begin(), std::min(header.size(), archive.size()), header.begin());
  const std::uint32_t count = ReadU32(header, 4);
  std::size_t position = std::min(archive.size(), header.size());
  if (count > (archive.size() - position) / kSmallestMember) {
    Damaged("its member count " + std::to_string(count) + " runs past the end of the data");
  }
  std::size_t total = 0;
  for (std::uint32_t index = 1; index <= count; ++index) {
    const std::string which = "member " + std::to_string(index);
    if (archive.size() - position < 4)
      Damaged(which + " runs past the end of the data");
    const std::uint32_t name_length = ReadU32(archive, position);
    position += 4;
    if (name_length > archive.size() - position || archive.size() - position - name_length < 4) {
      Damaged("the name of " + which + " (" + std::to_string(name_length) +
              " bytes) runs past the end of the data");
    }
    std::string name = AnsiToUtf8(
        std::string_view(reinterpret_cast<const char*>(archive.data() + position), name_length));
    position += name_length;
    const std::uint32_t declared = ReadU32(archive, position);
    position += 4;
    if (declared > max_total - total) {
      throw Error(MemberText(name) + " declares " + std::to_string(declared) +
                  " bytes: the archive would unpack to more than " + std::to_string(max_total) +
                  " bytes.");
    }
    total += declared;
    Bytes bytes = InflateMember(archive, position, declared, name);
    sink(PackedMember{std::move(name), std::move(bytes)});
  }
  return position;
}

bool ExtractPackedData(TacSkinConvertor& convertor, const ShowSkinError& show_error) {
  const std::span<const std::uint8_t> archive = convertor.PackedData;
  if (!HasArchiveSignature(archive)) {
    if (show_error)
      show_error(std::string(kNotPackedText));
    return false;
  }
  convertor.FileCount = static_cast<std::int32_t>(convertor.Files.size());
  ReadPackedMembers(archive, [&convertor](PackedMember member) {
    if (IsOptionsFileName(member.name)) {
      convertor.Options = std::move(member.bytes);
      return;
    }
    const TacFileType type = FileTypeOf(member.name);
    convertor.Files.push_back(TacFileItem{std::move(member.name), type, std::move(member.bytes)});
    convertor.FileCount = static_cast<std::int32_t>(convertor.Files.size());
  });
  return true;
}

void LoadSkinFromFile(const std::string& path, TacSkinConvertor& convertor,
                      const ShowSkinError& show_error) {
  if (!platform::FileExists(path))
    return;
  convertor.Clear();
  const Bytes packed = platform::ReadFileBytes(path, kMaxUnpackedTotal);
  convertor.PackedData = packed;
  try {
    (void)ExtractPackedData(convertor, show_error);
  } catch (...) {
    convertor.PackedData = {};
    throw;
  }
  convertor.PackedData = {};
}

std::optional<std::size_t> FindPreviewMarker(std::span<const std::uint8_t> data) {
  constexpr std::size_t n = kPreviewMarker.size();
  const auto pattern = [](std::size_t i) { return static_cast<std::uint8_t>(kPreviewMarker[i]); };
  std::array<std::size_t, 256> skip;
  skip.fill(n);
  // From the last byte to the first, so that the rightmost occurrence of a byte sets its skip.
  // The last byte's own entry (0) is never used: a skip is taken only when the text byte under
  // the pattern's end differs from it.
  for (std::size_t i = n; i-- > 0;) {
    if (skip[pattern(i)] == n)
      skip[pattern(i)] = n - 1 - i;
  }
  std::size_t at = 0;
  while (data.size() >= n && at <= data.size() - n) {
    if (data[at + n - 1] != pattern(n - 1)) {
      at += skip[data[at + n - 1]];
      continue;
    }
    std::size_t i = n - 1;
    while (i > 0 && data[at + i - 1] == pattern(i - 1))
      --i;
    if (i == 0)
      return at;
    ++at;
  }
  return std::nullopt;
}

bool GetPreviewStream(Bytes& target, std::span<const std::uint8_t> source) {
  const std::optional<std::size_t> marker = FindPreviewMarker(source);
  if (!marker)
    return false;
  const std::size_t at = *marker + kPreviewMarker.size();
  if (source.size() - at < 4)
    Damaged("the preview block is cut short");
  const std::uint32_t length = ReadU32(source, at);
  if (length > source.size() - at - 4) {
    Damaged("the preview's length " + std::to_string(length) + " runs past the end of the data");
  }
  target.assign(source.begin() + static_cast<std::ptrdiff_t>(at + 4),
                source.begin() + static_cast<std::ptrdiff_t>(at + 4 + length));
  return true;
}

bool GetPreviewStream(Bytes& target, const std::string& archive_path) {
  if (!platform::FileExists(archive_path))
    return false;
  return GetPreviewStream(target, platform::ReadFileBytes(archive_path, kMaxUnpackedTotal));
}

TacFileType FileTypeOf(std::string_view name) {
  const std::size_t dot = name.rfind('.');
  const std::string_view extension = dot == std::string_view::npos ? "" : name.substr(dot);
  if (SameTextIgnoringCase(extension, ".BMP"))
    return TacFileType::ftBmp;
  if (SameTextIgnoringCase(extension, ".TTF") || SameTextIgnoringCase(extension, ".OTF"))
    return TacFileType::ftFont;
  return TacFileType::ftOther;
}

bool IsOptionsFileName(std::string_view name) {
  return SameTextIgnoringCase(name, kOptionsFileName);
}

std::string AnsiToUtf8(std::string_view ansi) {
  std::string out;
  out.reserve(ansi.size());
  for (const char c : ansi) {
    const auto byte = static_cast<std::uint8_t>(c);
    AppendUtf8(out, byte >= 0x80 && byte < 0xA0 ? kCp1252High[byte - 0x80u] : char32_t{byte});
  }
  return out;
}

std::string Utf8ToAnsi(std::string_view text) {
  std::string out;
  std::size_t i = 0;
  const auto fail = [&text]() {
    throw Error("The name \"" + std::string(text) +
                "\" cannot be stored in a skin archive: archive names are Windows-1252 text.");
  };
  while (i < text.size()) {
    const auto lead = static_cast<std::uint8_t>(text[i]);
    std::size_t length = lead < 0x80 ? 1 : (lead >> 5) == 6 ? 2 : (lead >> 4) == 14 ? 3 : 0;
    if (length == 0 || text.size() - i < length)
      fail();
    char32_t code = length == 1 ? lead : length == 2 ? (lead & 0x1Fu) : (lead & 0x0Fu);
    for (std::size_t k = 1; k < length; ++k) {
      const auto next = static_cast<std::uint8_t>(text[i + k]);
      if ((next & 0xC0) != 0x80)
        fail();
      code = code << 6 | (next & 0x3Fu);
    }
    i += length;
    if (code < 0x80 || (code >= 0xA0 && code <= 0xFF)) {
      out += static_cast<char>(code);
      continue;
    }
    const auto* found = std::find(kCp1252High.begin(), kCp1252High.end(), code);
    if (found == kCp1252High.end())
      fail();
    out += static_cast<char>(0x80 + (found - kCp1252High.begin()));
  }
  return out;
}

}  // namespace kestrune::skin
