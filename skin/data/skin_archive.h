#pragma once
// The packed skin archive: "ASzf", a 32-bit member count, the members (name, unpacked size, one
// zlib stream each) and an optional uncompressed "previewimg" block. All integers are 32-bit
// little-endian. Reading never writes to disk; every member is inflated from the archive in
// memory into its own byte buffer.
//
// The archive is input the program does not control. A damaged or hostile one is reported with a
// kestrune::Error: a member count or name that runs past the end of the data, a member that
// inflates to more or fewer bytes than it declares, a damaged zlib stream, or more than
// kMaxUnpackedTotal bytes of unpacked data in all.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace kestrune::skin {

using Bytes = std::vector<std::uint8_t>;

// The most unpacked data one archive may hold; the built-in skin needs well under 1 MiB.
inline constexpr std::size_t kMaxUnpackedTotal = std::size_t{256} << 20;

inline constexpr std::string_view kArchiveSignature = "ASzf";
inline constexpr std::string_view kPreviewMarker = "previewimg";
inline constexpr std::string_view kOptionsFileName = "OPTIONS.DAT";
inline constexpr std::string_view kNotPackedText = "Loaded data is not a packed Quorvel file";

enum class TacFileType : std::uint8_t { ftBmp, ftFont, ftOther };

struct TacFileItem {
  std::string Name;  // As stored, case preserved, as UTF-8.
  TacFileType FileType = TacFileType::ftOther;
  Bytes Stream;
};

// The result of reading an archive.
class TacSkinConvertor {
 public:
  // Frees every member and the options file, giving their memory back, and forgets PackedData.
  void Clear();

  std::optional<Bytes> Options;  // None when the archive had no options file.
  // The archive being read; never owned (the caller keeps the bytes alive while reading).
  std::span<const std::uint8_t> PackedData;
  // The number of members other than the options file (Files.size()).
  std::int32_t FileCount = 0;
  std::vector<TacFileItem> Files;
};

// Shows an error text to the user; the skin manager passes its own message dialog.
using ShowSkinError = std::function<void(const std::string& text)>;

// Reads the archive in convertor.PackedData into Options, Files and FileCount. Returns false
// after showing kNotPackedText when the data does not start with the signature; throws an Error
// for a damaged archive, keeping the members read before the fault.
[[nodiscard]] bool ExtractPackedData(TacSkinConvertor& convertor, const ShowSkinError& show_error);

// Reads the archive file `path` (UTF-8) into `convertor`, clearing it first; does nothing when
// the file does not exist. Failure shows as an empty Options or as an Error.
void LoadSkinFromFile(const std::string& path, TacSkinConvertor& convertor,
                      const ShowSkinError& show_error);

// Copies the preview picture of the archive `source` into `target`. Returns false, leaving
// `target` untouched, when the archive has no preview; throws when the preview's declared length
// runs past the end of the data.
[[nodiscard]] bool GetPreviewStream(Bytes& target, std::span<const std::uint8_t> source);
// The same for an archive file; false when the file does not exist.
[[nodiscard]] bool GetPreviewStream(Bytes& target, const std::string& archive_path);

// The offset of the first "previewimg" in `data`, found by a Boyer-Moore-Horspool search.
[[nodiscard]] std::optional<std::size_t> FindPreviewMarker(std::span<const std::uint8_t> data);

// ftBmp for ".BMP", ftFont for ".TTF" and ".OTF", ftOther for anything else; any case.
[[nodiscard]] TacFileType FileTypeOf(std::string_view name);
// True for "OPTIONS.DAT" in any case.
[[nodiscard]] bool IsOptionsFileName(std::string_view name);

// The members of an archive in archive order, the options file among them, for tools that need
// every stored name. The signature is checked by the caller; reading starts at offset 8 and
// returns the offset of the first byte after the last member.
struct PackedMember {
  std::string name;  // UTF-8
  Bytes bytes;
};
using MemberSink = std::function<void(PackedMember member)>;
std::size_t ReadPackedMembers(std::span<const std::uint8_t> archive, const MemberSink& sink,
                              std::size_t max_total = kMaxUnpackedTotal);

[[nodiscard]] bool HasArchiveSignature(std::span<const std::uint8_t> data);

// Member names are 8-bit ANSI (Windows-1252) text in the archive and UTF-8 in the program.
[[nodiscard]] std::string AnsiToUtf8(std::string_view ansi);
// Throws when `text` holds a character that Windows-1252 cannot store.
[[nodiscard]] std::string Utf8ToAnsi(std::string_view text);

}  // namespace kestrune::skin
