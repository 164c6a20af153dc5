#pragma once
// What the fuzzer and the corpus replay test do with one input for the skin options loader. The
// first byte picks the pixel density (low three bits) and the shadow-only border mode (bit 3);
// the rest is the options text, and what follows its first form feed is the CommonSections
// text. Returns normally or throws kestrune::Error; any other outcome is a fault.

#include <array>
#include <cstdint>
#include <span>
#include <string_view>

#include "platform/error.h"
#include "skin/data/ini_store.h"
#include "skin/data/skin_options.h"

namespace kestrune::fuzz {

inline void LoadOptionsInput(std::span<const std::uint8_t> data) {
  if (data.empty()) {
    return;
  }
  constexpr std::array<int, 8> kDensities = {96, 120, 144, 192, 100, 130, 72, 250};
  skin::TsOptionsContext context;
  context.PPI = kDensities[data[0] % 8u];
  context.ShadowOnlyBorders = ((data[0] >> 3) & 1u) != 0;
  // Pictures with names of odd length are missing, so that entries get dropped too.
  context.ImageExists = [](const std::string& name) { return name.size() % 2 == 0; };
  std::string_view text(reinterpret_cast<const char*>(data.data()) + 1, data.size() - 1);
  const std::size_t split = text.find('\f');
  if (split != std::string_view::npos) {
    context.CommonSections = text.substr(split + 1);
    text = text.substr(0, split);
  }
  const skin::IniStore ini(text);
  (void)skin::LoadSkinOptions(ini, context);
}

}  // namespace kestrune::fuzz
