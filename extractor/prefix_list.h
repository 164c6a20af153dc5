#pragma once
// Reading "prefix_list.txt": the file's text, decoded by its byte-order mark, cut into lines.

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/byte_buffer.h"
#include "platform/process_services.h"

namespace kestrune {

// The lines of a prefix list, read one after the other from the one decoded text they are cut
// from: a list of 200,000 lines is one allocation, not 200,000 strings. Lines end at CR LF, a
// lone CR and a lone LF; a last line without a line break counts, and a line break at the very
// end adds no empty line.
class PrefixList {
 public:
  PrefixList() = default;
  explicit PrefixList(std::string text);
  // The bytes of `text` from `skip` on, which are the list's text already (ASCII, or UTF-8 after
  // its byte-order mark): kept as read, without a copy.
  PrefixList(platform::ByteBuffer text, std::size_t skip);

  [[nodiscard]] std::size_t LineCount() const { return line_count_; }

  // Gives the lines in order; the views stay valid while the list lives.
  class Cursor {
   public:
    explicit Cursor(std::string_view text) : rest_(text) {}
    // The next line, or false after the last.
    bool Next(std::string_view& line);

   private:
    std::string_view rest_;
  };
  [[nodiscard]] Cursor Lines() const { return Cursor(Text()); }

 private:
  [[nodiscard]] std::string_view Text() const {
    if (bytes_.data() == nullptr)
      return decoded_;
    return {bytes_.data() + skip_, bytes_.size() - skip_};
  }
  void CountLines();

  std::string decoded_;
  platform::ByteBuffer bytes_;
  std::size_t skip_ = 0;
  std::size_t line_count_ = 0;
};

// Decodes `bytes` as UTF-8 (EF BB BF), UTF-16 little-endian (FF FE) or big-endian (FE FF) when
// such a byte-order mark leads, else as the system's ANSI code page, into UTF-8 text.
[[nodiscard]] std::string DecodeListText(std::string bytes,
                                         const platform::ProcessServices& services);

// The largest prefix list a run reads: its lines are held in memory, at a few times its size.
inline constexpr std::uint64_t kMaxListBytes = std::uint64_t{64} << 20;

// The lines of the file at `path`, read whole while others may read but not write it. Throws
// Error when the file cannot be opened or read, or holds more than kMaxListBytes.
[[nodiscard]] PrefixList LoadPrefixList(const std::string& path,
                                        const platform::ProcessServices& services);

// The lines of everything `stream` gives until its end (a list piped to standard input), which is
// called `name` in messages; throws Error beyond kMaxListBytes. `expected_size` (bytes, 0 when
// unknown) only saves regrowing the buffer.
[[nodiscard]] PrefixList ReadPrefixList(platform::Stream& stream,
                                        const platform::ProcessServices& services,
                                        std::string_view name = "standard input",
                                        std::uint64_t expected_size = 0);

}  // namespace kestrune
