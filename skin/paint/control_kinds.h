#pragma once
// Control-kind codes (COC) and the kind sets that steer the hot state, the colours and the
// background of a skinned control.

#include <cstdint>
#include <initializer_list>
#include <utility>

namespace kestrune::skin {

inline constexpr std::uint8_t COC_TsCustom = 1;
inline constexpr std::uint8_t COC_TsSpinEdit = 2;
inline constexpr std::uint8_t COC_TsEdit = 3;
inline constexpr std::uint8_t COC_TsMemo = 7;
inline constexpr std::uint8_t COC_TsListBox = 8;
inline constexpr std::uint8_t COC_TsColorBox = 9;
inline constexpr std::uint8_t COC_TsListView = 10;
inline constexpr std::uint8_t COC_TsCurrencyEdit = 12;
inline constexpr std::uint8_t COC_TsComboBox = 13;
inline constexpr std::uint8_t COC_TsTreeView = 14;
inline constexpr std::uint8_t COC_TsComboBoxEx = 18;
inline constexpr std::uint8_t COC_TsFrameBar = 19;
inline constexpr std::uint8_t COC_TsBarTitle = 20;
inline constexpr std::uint8_t COC_TsCheckBox = 32;
inline constexpr std::uint8_t COC_TsDBCheckBox = 32;
inline constexpr std::uint8_t COC_TsRadioButton = 33;
inline constexpr std::uint8_t COC_TsSlider = 34;
inline constexpr std::uint8_t COC_TsImage = 50;
inline constexpr std::uint8_t COC_TsPanel = 51;
inline constexpr std::uint8_t COC_TsCoolBar = 53;
inline constexpr std::uint8_t COC_TsToolBar = 54;
inline constexpr std::uint8_t COC_TsDragBar = 56;
inline constexpr std::uint8_t COC_TsTabSheet = 57;
inline constexpr std::uint8_t COC_TsScrollBox = 58;
inline constexpr std::uint8_t COC_TsMonthCalendar = 59;
inline constexpr std::uint8_t COC_TsGroupBox = 74;
inline constexpr std::uint8_t COC_TsSplitter = 75;
inline constexpr std::uint8_t COC_TsDBEdit = 76;
inline constexpr std::uint8_t COC_TsDBMemo = 78;
inline constexpr std::uint8_t COC_TsDBComboBox = 81;
inline constexpr std::uint8_t COC_TsDBLookupComboBox = 82;
inline constexpr std::uint8_t COC_TsDBListBox = 83;
inline constexpr std::uint8_t COC_TsDBLookupListBox = 84;
inline constexpr std::uint8_t COC_TsDBGrid = 85;
inline constexpr std::uint8_t COC_TsSpeedButton = 92;
inline constexpr std::uint8_t COC_TsButton = 93;
inline constexpr std::uint8_t COC_TsBitBtn = 94;
inline constexpr std::uint8_t COC_TsNavButton = 98;
inline constexpr std::uint8_t COC_TsBevel = 110;
inline constexpr std::uint8_t COC_TsFileDirEdit = 132;
inline constexpr std::uint8_t COC_TsFilenameEdit = 133;
inline constexpr std::uint8_t COC_TsDirectoryEdit = 134;
inline constexpr std::uint8_t COC_TsComboEdit = 138;
inline constexpr std::uint8_t COC_TsDateEdit = 140;
inline constexpr std::uint8_t COC_TsPageControl = 141;
inline constexpr std::uint8_t COC_TsScrollBar = 142;
inline constexpr std::uint8_t COC_TsTabControl = 143;
inline constexpr std::uint8_t COC_TsStatusBar = 151;
inline constexpr std::uint8_t COC_TsHeaderControl = 152;
inline constexpr std::uint8_t COC_TsGauge = 161;
inline constexpr std::uint8_t COC_TsTrackBar = 165;
inline constexpr std::uint8_t COC_TacDialogWnd = 223;
inline constexpr std::uint8_t COC_TsSkinProvider = 224;
inline constexpr std::uint8_t COC_TsMDIForm = 225;
inline constexpr std::uint8_t COC_TsFrameAdapter = 226;
inline constexpr std::uint8_t COC_TsCircleControl = 227;
inline constexpr std::uint8_t COC_TsAdapter = 230;
inline constexpr std::uint8_t COC_TsAdapterEdit = 231;
inline constexpr std::uint8_t COC_TVST = 232;
inline constexpr std::uint8_t COC_Unknown = 250;

// A set of kind codes, written as inclusive ranges.
class TacKindSet {
 public:
  constexpr TacKindSet(std::initializer_list<std::pair<int, int>> ranges) {
    for (const auto& [first, last] : ranges)
      for (int code = first; code <= last; ++code)
        bits_[code / 64] |= std::uint64_t{1} << (code % 64);
  }
  [[nodiscard]] constexpr bool Contains(std::uint8_t code) const {
    return ((bits_[code / 64] >> (code % 64)) & 1u) != 0;
  }

 private:
  std::uint64_t bits_[4] = {};
};

// Never hot by hovering.
inline constexpr TacKindSet sForbidMouse{{19, 19}, {51, 74}, {110, 110}, {141, 161}};
// Edits: hot by hovering only when ac_AllowHotEdits is on.
inline constexpr TacKindSet sNoHotEdits{{2, 18}, {76, 85}, {132, 140}, {231, 231}};
inline constexpr TacKindSet ssCanNotBeHot{{51, 51},   {54, 54},   {56, 59},   {74, 74},
                                          {110, 110}, {141, 141}, {143, 143}, {151, 151},
                                          {161, 161}, {226, 226}};
// Take their colours from the section on focus changes.
inline constexpr TacKindSet sEditCtrls{{2, 18}, {76, 84}, {132, 140}, {231, 231}};
inline constexpr TacKindSet ssScrolledEdits{{7, 8},   {10, 10}, {14, 14},  {78, 78},
                                            {83, 83}, {85, 85}, {231, 231}};
inline constexpr TacKindSet ssButtons{{92, 94}};
// The mouse-following light is allowed.
inline constexpr TacKindSet ssLightCtrls{{9, 9},   {13, 13}, {18, 18},  {20, 20},
                                         {34, 34}, {92, 94}, {132, 140}};
// Kinds that ask their owner for a default section when no name is set.
inline constexpr TacKindSet sAskDefaultIndex{
    {2, 10},    {12, 14},   {32, 34},   {50, 51},   {53, 54},   {57, 59},
    {74, 76},   {78, 78},   {81, 85},   {92, 94},   {132, 141}, {143, 143},
    {151, 152}, {161, 161}, {165, 165}, {224, 224}, {226, 227}};

}  // namespace kestrune::skin
