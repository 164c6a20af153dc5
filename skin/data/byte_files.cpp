#include "skin/data/byte_files.h"

#include <algorithm>

#include "platform/error.h"
#include "platform/files.h"

namespace kestrune::skin {

std::vector<std::uint8_t> ReadFileBytes(const std::string& path, std::size_t max_size) {
  const auto file = platform::OpenFile(path, platform::OpenMode::kReadShared);
  std::vector<std::uint8_t> bytes;
  constexpr std::size_t kChunk = std::size_t{1} << 20;
  for (;;) {
    const std::size_t have = bytes.size();
    // Reading one byte past the limit tells a file of exactly max_size from a larger one.
    const std::size_t room = max_size + 1 - have;
    bytes.resize(have + std::min(kChunk, room));
    const std::size_t got = file->Read(bytes.data() + have, bytes.size() - have);
    bytes.resize(have + got);
    if (bytes.size() > max_size) {
      throw Error("The file \"" + path + "\" is larger than " + std::to_string(max_size) +
                  " bytes.");
    }
    if (got == 0)
      return bytes;
  }
}

std::filesystem::path Utf8Path(const std::string& text) {
  return std::filesystem::path(std::u8string(text.begin(), text.end()));
}

std::string PathText(const std::filesystem::path& path) {
  const std::u8string text = path.u8string();
  return std::string(text.begin(), text.end());
}

void WriteFileBytes(const std::string& path, std::span<const std::uint8_t> bytes) {
  const auto file = platform::OpenFile(path, platform::OpenMode::kCreateExclusive);
  file->Write(bytes.data(), bytes.size());
  file->Close();
}

}  // namespace kestrune::skin
