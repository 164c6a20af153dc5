#include "assets/skin/builtin_skin.h"

#include <cstddef>

namespace kestrune::skin {
namespace detail {
extern const std::uint8_t kBuiltinSkinBytes[];
extern const std::size_t kBuiltinSkinSize;
}  // namespace detail

std::span<const std::uint8_t> BuiltinSkinArchive() {
  return {detail::kBuiltinSkinBytes, detail::kBuiltinSkinSize};
}

TsStoredSkin BuiltinStoredSkin() {
  const auto archive = BuiltinSkinArchive();
  TsStoredSkin item;
  item.Name = std::string(kBuiltinSkinName);
  item.Author = "Kestrune developers";
  item.Description = "Dark skin in the style of Windows 11";
  item.Version = kBuiltinSkinVersion;
  item.PackedData.assign(archive.begin(), archive.end());
  item.OriginName = std::string(kBuiltinSkinOriginName);
  return item;
}

TsStoredSkins BuiltinStoredSkins() {
  TsStoredSkins skins;
  skins.Items.push_back(BuiltinStoredSkin());
  return skins;
}

}  // namespace kestrune::skin
