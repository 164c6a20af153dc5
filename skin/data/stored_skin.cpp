#include "skin/data/stored_skin.h"

#include <filesystem>

#include "platform/error.h"
#include "platform/file_bytes.h"
#include "platform/files.h"

namespace kestrune::skin {
namespace {

bool DirectoryExists(const std::string& directory) {
  std::error_code error;
  return std::filesystem::is_directory(platform::Utf8Path(directory), error);
}

}  // namespace

int TsStoredSkins::IndexOf(const std::string& skin_name) const {
  for (std::size_t i = 0; i < Items.size(); ++i) {
    if (Items[i].Name == skin_name)
      return static_cast<int>(i);
  }
  return -1;
}

std::string NormalizeSkinDirectory(std::string directory) {
#ifdef _WIN32
  if (directory.size() == 1)
    return directory + ":\\";
#endif
  if (!directory.empty() && (directory.back() == '/' || directory.back() == '\\'))
    directory.back() = platform::kPathSeparator;
  else
    directory += platform::kPathSeparator;
  return directory;
}

void ExtractInternalSkin(const TsStoredSkins& skins, const std::string& skin_name,
                         const std::string& directory, const ShowSkinError& show_error) {
  bool found = false;
  for (std::size_t i = 0; i < skins.Items.size(); ++i) {
    if (skins.Items[i].Name != skin_name)
      continue;
    found = true;
    if (DirectoryExists(directory))
      ExtractByIndex(skins, i, directory, show_error);
    else
      show_error("Directory does not exists.");
  }
  if (!found)
    show_error("Skin does not exists.");
}

void ExtractByIndex(const TsStoredSkins& skins, std::size_t index, const std::string& directory,
                    const ShowSkinError& show_error) {
  if (index >= skins.Items.size()) {
    throw Error("There is no internal skin number " + std::to_string(index) + ".");
  }
  const std::string folder = NormalizeSkinDirectory(directory);
  if (!DirectoryExists(folder)) {
    std::error_code error;
    std::filesystem::create_directories(platform::Utf8Path(folder), error);
    if (error || !DirectoryExists(folder)) {
      show_error(folder + " directory creation error.");
      return;
    }
  }
  const TsStoredSkin& skin = skins.Items[index];
  if (!skin.PackedData.empty())
    platform::WriteFileBytes(folder + skin.Name + " extracted.asz", skin.PackedData);
}

}  // namespace kestrune::skin
