#include "tools/kestrune-skin/skin_density_report.h"

#include <string_view>

#include "skin/controls/caption_glyphs.h"
#include "skin/data/skin_manager.h"

namespace kestrune::skin_tool {
namespace {

std::string Describe(int ppi, const skin::TacSkinData& data) {
  return std::to_string(ppi) + " ppi: " + std::to_string(data.gd.size()) + " sections, " +
         std::to_string(data.ma.size()) + " image entries; border width " +
         std::to_string(data.ExBorderWidth) + ", title height " +
         std::to_string(data.ExTitleHeight) + ", maximized title height " +
         std::to_string(data.ExMaxHeight) + ", spacing " + std::to_string(data.Spacing) +
         ", line width " + std::to_string(data.LineWidth) + ", arrow size " +
         std::to_string(data.ArrowSize) + ", scroll button length " +
         std::to_string(data.ScrollBtnLength) + ", combo box margin " +
         std::to_string(data.ComboBoxMargin) + ", window shadow size " +
         std::to_string(data.WndShadowSize);
}

}  // namespace

DensityReport ReportDensities(const skin::Bytes& archive) {
  DensityReport report;
  for (const int ppi : kReportedDensities) {
    skin::HeadlessSkinPlatform platform(ppi);
    skin::TsSkinManager manager(platform);
    skin::TsStoredSkin item;
    item.Name = "checked";
    item.PackedData = archive;
    manager.InternalSkins.Items.push_back(std::move(item));
    manager.SkinDirectory = ".";
    manager.BeginLoading();
    manager.SetSkinName("checked");
    manager.Loaded();
    for (const std::string& message : platform.messages) {
      report.problems.push_back(std::to_string(ppi) + " ppi: " + message);
    }
    if (!manager.IsActive()) {
      continue;
    }
    const skin::TacSkinData& data = manager.CommonSkinData(ppi);
    report.lines.push_back(Describe(ppi, data));
    // The main window's two caption buttons: a glyph the skin gives but cannot show. (A skin
    // that gives none plainly leaves them to the built-in glyphs.)
    for (const skin::TacTitleGlyph glyph : {skin::tgClose, skin::tgMin}) {
      const int index = data.TitleGlyphs[glyph];
      if (index >= 0 && !skin::CaptionGlyphUsable(data, index)) {
        const std::string_view key = skin::kTitleGlyphNames[glyph];
        report.problems.push_back(std::to_string(ppi) + " ppi: the skin has no " +
                                  (glyph == skin::tgClose ? "close" : "minimise") +
                                  " glyph that shows (" + std::string(key) +
                                  "); the title bar draws a built-in one");
      }
    }
  }
  return report;
}

}  // namespace kestrune::skin_tool
