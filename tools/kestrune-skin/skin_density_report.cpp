#include "tools/kestrune-skin/skin_density_report.h"

#include <string_view>

#include "skin/data/skin_manager.h"

namespace kestrune::skin_tool {
namespace {

// The manager's window side for a tool without windows: a fixed density and the texts it
// would show collected as problems.
class ToolPlatform : public skin::SkinManagerPlatform {
 public:
  ToolPlatform(int ppi, std::vector<std::string>& problems) : ppi_(ppi), problems_(problems) {}

  void BroadcastCommand(std::uint32_t /*wparam*/, std::uintptr_t /*lparam*/) override {}
  void ShowErrorDialog(std::string_view text) override { Note(text); }
  void ShowWarningDialog(std::string_view text) override { Note(text); }
  void ShowPlainMessage(std::string_view text) override { Note(text); }
  [[nodiscard]] int SystemPPI() const override { return ppi_; }
  // The checked archive is an internal skin; no folder is searched.
  [[nodiscard]] std::string ProgramFolder() const override { return {}; }

 private:
  void Note(std::string_view text) {
    problems_.push_back(std::to_string(ppi_) + " ppi: " + std::string(text));
  }

  int ppi_;
  std::vector<std::string>& problems_;
};

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
    ToolPlatform platform(ppi, report.problems);
    skin::TsSkinManager manager(platform);
    skin::TsStoredSkin item;
    item.Name = "checked";
    item.PackedData = archive;
    manager.InternalSkins.Items.push_back(std::move(item));
    manager.SkinDirectory = ".";
    manager.BeginLoading();
    manager.SetSkinName("checked");
    manager.Loaded();
    if (!manager.IsActive()) {
      continue;
    }
    report.lines.push_back(Describe(ppi, manager.CommonSkinData(ppi)));
  }
  return report;
}

}  // namespace kestrune::skin_tool
