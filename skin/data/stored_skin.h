#pragma once
// Internal skins: archives carried inside the program's stored window description, and their
// export to files.

#include <cstdint>
#include <string>
#include <vector>

#include "skin/data/skin_archive.h"

namespace kestrune::skin {

// One internal skin. Copying copies the archive bytes and every property.
struct TsStoredSkin {
  std::string Name;  // As used by the manager's SkinName.
  std::string Author;
  std::string Description;
  double Version = 0;
  // Copies of the skin's shadow and border settings; loading the skin does not use them.
  std::uint32_t Shadow1Color = 0;
  std::int32_t Shadow1Offset = 0;
  std::int32_t Shadow1Blur = -1;
  std::int32_t Shadow1Transparency = 0;
  std::uint32_t BorderColor = 0xFF00FF;
  Bytes PackedData;  // The archive bytes unchanged; streamed as the property "Data".
  std::string OriginName;
};

class TsStoredSkins {
 public:
  // The index of the first item whose Name equals `skin_name` exactly (case-sensitive), or -1.
  [[nodiscard]] int IndexOf(const std::string& skin_name) const;

  std::vector<TsStoredSkin> Items;
};

// Writes every internal skin named `skin_name` to "<Name> extracted.asz" in `directory`.
// Shows "Directory does not exists." for a missing directory and "Skin does not exists." when no
// item has that name.
void ExtractInternalSkin(const TsStoredSkins& skins, const std::string& skin_name,
                         const std::string& directory, const ShowSkinError& show_error);

// Writes the archive bytes of item `index` to "<Name> extracted.asz" in `directory`, creating the
// directory when needed; shows "<directory> directory creation error." when it cannot. Throws for
// an index out of range or a file that cannot be written.
void ExtractByIndex(const TsStoredSkins& skins, std::size_t index, const std::string& directory,
                    const ShowSkinError& show_error);

// The directory with one trailing separator ('/' becomes '\' on Windows, where a lone drive
// letter gets ":\").
[[nodiscard]] std::string NormalizeSkinDirectory(std::string directory);

}  // namespace kestrune::skin
