#pragma once
// The program's one internal skin, "Windows 11 dark (internal)": the archive packed from
// assets/skin at build time and the stored skin item that carries it.

#include <cstdint>
#include <span>
#include <string_view>

#include "skin/data/stored_skin.h"

namespace kestrune::skin {

inline constexpr std::string_view kBuiltinSkinName = "Windows 11 dark (internal)";
inline constexpr std::string_view kBuiltinSkinOriginName = "Windows 11 dark.asz";
inline constexpr double kBuiltinSkinVersion = 16.13;

// The packed archive as linked into the program; lives for the whole process.
[[nodiscard]] std::span<const std::uint8_t> BuiltinSkinArchive();

// A new stored skin item holding a copy of the archive as its Data.
[[nodiscard]] TsStoredSkin BuiltinStoredSkin();

// The manager's internal skins as the main window stores them: this one item.
[[nodiscard]] TsStoredSkins BuiltinStoredSkins();

}  // namespace kestrune::skin
