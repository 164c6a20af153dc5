#pragma once
// Reading "prefix_list.txt": the file's text, decoded by its byte-order mark, cut into lines.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/process_services.h"

namespace kestrune {

// Decodes `bytes` as UTF-8 (EF BB BF), UTF-16 little-endian (FF FE) or big-endian (FE FF) when
// such a byte-order mark leads, else as the system's ANSI code page, into UTF-8 text.
[[nodiscard]] std::string DecodeListText(std::string_view bytes,
                                         const platform::ProcessServices& services);

// Lines cut at CR LF, a lone CR and a lone LF. A last line without a line break counts; a line
// break at the very end adds no empty line.
[[nodiscard]] std::vector<std::string> SplitLines(std::string_view text);

// The largest prefix list a run reads: its lines are held in memory, at a few times its size.
inline constexpr std::uint64_t kMaxListBytes = std::uint64_t{64} << 20;

// The lines of the file at `path`, read whole while others may read but not write it. Throws
// Error when the file cannot be opened or read, or holds more than kMaxListBytes.
[[nodiscard]] std::vector<std::string> LoadPrefixList(const std::string& path,
                                                      const platform::ProcessServices& services);

// The lines of everything `stream` gives until its end (a list piped to standard input), which is
// called `name` in messages; throws Error beyond kMaxListBytes. `expected_size` (bytes, 0 when
// unknown) only saves regrowing the buffer.
[[nodiscard]] std::vector<std::string> ReadPrefixList(platform::Stream& stream,
                                                      const platform::ProcessServices& services,
                                                      std::string_view name = "standard input",
                                                      std::uint64_t expected_size = 0);

}  // namespace kestrune
