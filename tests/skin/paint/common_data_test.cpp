#include "skin/paint/common_data.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

#include "platform/control_messages.h"
#include "skin/pixels/gradient.h"
#include "tests/skin/paint/skin_owner_fake.h"

namespace kestrune::skin {
namespace {

using test::Adopt;
using test::FakeOwner;
using test::MakeState;
using test::Section;
using test::TestManager;

constexpr std::uint16_t kNoCommand = 0xFFFF;

// Sends a command to the state the way a window procedure passes it on.
TacMessage Command(TsCommonData& data, std::uint16_t command, std::intptr_t lparam = 0,
                   std::uint16_t argument = 0, bool foreign = false) {
  TacMessage message = MakeMessage(SM_ALPHACMD, MakeCommandParam(command, argument), lparam);
  message.Foreign = foreign;
  data.CommonMessage(message);
  return message;
}

// A loaded PANEL state in a form, with a button inside it to see what is passed on.
struct LoadedPanel {
  LoadedPanel() {
    Adopt(form, panel);
    Adopt(panel, button);
    data = MakeState(panel);
    data->SetSkinSection("PANEL");
    data->Loaded();
  }
  FakeOwner form, panel, button;
  std::unique_ptr<TsCommonData> data;
};

TEST(SkinSection, IsStoredUpperCaseAndARepeatDoesNothing) {
  TestManager manager({Section("EDIT", 0xFFFFFF), Section("BUTTON", 0x0000FF)});
  FakeOwner form, button;
  Adopt(form, button);
  auto data = MakeState(button);
  data->COC = COC_TsButton;
  data->Loaded();

  data->SetSkinSection("button");
  EXPECT_EQ(data->SkinSection(), "BUTTON");
  EXPECT_EQ(data->SkinIndex, 1);
  EXPECT_EQ(button.Count(AC_REFRESH), 1);
  EXPECT_EQ(form.Count(AC_SETBGCHANGED), 0);

  data->SetSkinSection("BUTTON");
  EXPECT_EQ(button.Count(AC_REFRESH), 1) << "the same name again re-binds nothing";

  data->SetSkinSection("NOSUCHSECTION");
  EXPECT_EQ(data->SkinIndex, -1);
  EXPECT_FALSE(data->Skinned());
  EXPECT_EQ(button.Count(AC_REMOVESKIN), 1);
}

TEST(SkinSection, WithoutANameTheKindsDefaultIndexBindsTheControl) {
  struct Case {
    std::intptr_t answer;  // default index plus one; 0 for none
    int skin_index;
  };
  for (const Case& c : {Case{0, -1}, Case{1, 0}, Case{2, 1}}) {
    SCOPED_TRACE(c.answer);
    TestManager manager({Section("EDIT", 0xFFFFFF), Section("BUTTON", 0x0000FF)});
    FakeOwner form, memo;
    Adopt(form, memo);
    memo.default_index_answer = c.answer;
    auto data = MakeState(memo);
    data->COC = COC_TsMemo;
    data->Loaded();
    EXPECT_EQ(memo.Count(AC_GETDEFINDEX), 1);
    EXPECT_EQ(data->SkinIndex, c.skin_index);
    EXPECT_EQ(data->Skinned(), c.skin_index >= 0);
  }
}

TEST(SkinSection, KindsWithoutADefaultTakeAFixedNameOrTheClassName) {
  TestManager manager({Section("COMBOBOX", 1), Section("TMYCONTROL", 2)});
  FakeOwner form, combo, other;
  Adopt(form, combo);
  Adopt(form, other);
  other.class_name = "TMyControl";
  auto combo_data = MakeState(combo);
  combo_data->COC = COC_TsComboBoxEx;
  combo_data->Loaded();
  EXPECT_EQ(combo_data->SkinSection(), "COMBOBOX");
  EXPECT_EQ(combo_data->SkinIndex, 0);
  auto other_data = MakeState(other);
  other_data->COC = COC_Unknown;
  other_data->Loaded();
  EXPECT_EQ(other_data->SkinSection(), "TMYCONTROL");
  EXPECT_EQ(other_data->SkinIndex, 1);
}

TEST(SkinSection, LoadingEndsWithTheGlassModeSetup) {
  TestManager manager({Section("BUTTON", 1)});
  FakeOwner form, button;
  Adopt(form, button);
  auto data = MakeState(button);
  data->FOpaqueMode = omForceOpaque;
  data->SetSkinSection("BUTTON");
  EXPECT_TRUE(button.commands.empty()) << "nothing is sent while loading";
  data->BGChanged = false;
  data->Loaded();
  EXPECT_EQ(button.Count(AC_SETGLASSMODE), 1);
  EXPECT_EQ(data->TranspMode, 1);
  EXPECT_TRUE(data->BGChanged);
  EXPECT_FALSE(data->GlassModeInit);
}

TEST(UpdateNesting, OnlyTheOutermostEndClosesAndNothingGoesBelowZero) {
  TestManager manager({Section("BUTTON", 1)});
  FakeOwner form, button;
  Adopt(form, button);
  auto data = MakeState(button);
  data->Loaded();

  data->BeginUpdate();
  data->BeginUpdate();
  data->EndUpdate(true);
  EXPECT_TRUE(data->FUpdating) << "the outer update still runs";
  EXPECT_NE(data->CtrlSkinState & ACS_LOCKED, 0u);
  EXPECT_EQ(button.Count(AC_ENDUPDATE), 0);
  EXPECT_TRUE(button.redraws.empty());

  data->EndUpdate(true);
  EXPECT_FALSE(data->FUpdating);
  EXPECT_EQ(data->CtrlSkinState & ACS_LOCKED, 0u);
  EXPECT_EQ(button.Count(AC_ENDUPDATE), 1);
  EXPECT_EQ(button.redraws, std::vector<std::uint32_t>{RDWA_ALLNOW});

  data->EndUpdate();  // unmatched
  EXPECT_EQ(data->FUpdateCount, 0);
  EXPECT_EQ(button.Count(AC_ENDUPDATE), 1);
  data->BeginUpdate();
  data->EndUpdate();
  EXPECT_EQ(button.Count(AC_ENDUPDATE), 2) << "the next update still ends";
}

TEST(HotState, FollowsTheKindTheMouseTheFocusAndTheSwitches) {
  struct Case {
    const char* name;
    std::uint8_t kind;
    bool enabled;
    bool mouse_above;
    bool window_focused;
    bool no_mouse_hover;
    bool allow_hot_edits;
    bool hot;
  };
  const Case cases[] = {
      {"hovered button", COC_TsButton, true, true, false, false, false, true},
      {"idle button", COC_TsButton, true, false, false, false, false, false},
      {"disabled hovered button", COC_TsButton, false, true, false, false, false, false},
      {"disabled focused button", COC_TsButton, false, false, true, false, false, false},
      {"hovered button, no hover", COC_TsButton, true, true, false, true, false, false},
      {"hovered panel", COC_TsPanel, true, true, false, false, false, false},
      {"focused panel", COC_TsPanel, true, false, true, false, false, false},
      {"hovered group box", COC_TsGroupBox, true, true, false, false, false, false},
      {"focused group box", COC_TsGroupBox, true, false, true, false, false, true},
      {"hovered memo", COC_TsMemo, true, true, false, false, false, false},
      {"hovered memo, hot edits", COC_TsMemo, true, true, false, false, true, true},
      {"focused memo", COC_TsMemo, true, false, true, false, false, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TestManager manager({Section("X", 1)});
    manager->Options.NoMouseHover = c.no_mouse_hover;
    manager->Effects.AllowHotEdits = c.allow_hot_edits;
    FakeOwner form, control;
    Adopt(form, control);
    control.enabled = c.enabled;
    control.focused = c.window_focused;
    auto data = MakeState(control);
    data->COC = c.kind;
    data->FMouseAbove = c.mouse_above;
    EXPECT_EQ(data->ControlIsActive(), c.hot);
  }
}

TEST(HotState, MouseEnterAndLeaveMarkTheControlAndTheManager) {
  TestManager manager({Section("BUTTON", 1)});
  FakeOwner form, left, right;
  Adopt(form, left);
  Adopt(form, right);
  auto left_data = MakeState(left);
  auto right_data = MakeState(right);
  for (TsCommonData* data : {left_data.get(), right_data.get()}) {
    data->COC = COC_TsButton;
    data->SetSkinSection("BUTTON");
  }
  TacMessage enter = MakeMessage(platform::CM_MOUSEENTER, 0, 0);
  left_data->CommonWndProc(enter);
  EXPECT_TRUE(left_data->FMouseAbove);
  EXPECT_EQ(manager->ActiveControl, left_data.get());

  // Entering the next control takes the hover from the sibling that missed its leave.
  right.commands.clear();
  left.mouse_inside = false;
  enter = MakeMessage(platform::CM_MOUSEENTER, 0, 0);
  right_data->CommonWndProc(enter);
  EXPECT_FALSE(left_data->FMouseAbove);
  EXPECT_TRUE(right_data->FMouseAbove);
  EXPECT_EQ(manager->ActiveControl, right_data.get());

  // A leave while the cursor is still inside (over a child window) is ignored.
  right.mouse_inside = true;
  TacMessage leave = MakeMessage(platform::CM_MOUSELEAVE, 0, 0);
  right_data->CommonWndProc(leave);
  EXPECT_TRUE(right_data->FMouseAbove);
  right.mouse_inside = false;
  right_data->CommonWndProc(leave);
  EXPECT_FALSE(right_data->FMouseAbove);
  EXPECT_EQ(manager->ActiveControl, nullptr);
}

TEST(FontColor, ComesFromTheParentOnlyAboveThirtyNinePercentTransparency) {
  struct Case {
    int transparency;
    std::intptr_t answer;  // of AC_GETFONTINDEX; kNoCommand when the control is not asked
    TColor expected;
  };
  constexpr TColor kOwn = 0x000000AA;
  constexpr TColor kParentText = 0x000000BB;
  constexpr TColor kOtherSection = 0x000000CC;
  const Case cases[] = {
      {39, kNoCommand, kOwn}, {40, 0, kParentText},  // the parent's font colour
      {40, -1, kOwn},                                // not handled: the own section
      {40, 1, kOtherSection},                        // answered with another section
      {100, 0, kParentText},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.transparency);
    TsGeneralData label = Section("LABEL", 0, c.transparency);
    for (TsGenState& state : label.Props)
      state.FontColor.Color = kOwn;
    TsGeneralData other = Section("OTHER", 0);
    for (TsGenState& state : other.Props)
      state.FontColor.Color = kOtherSection;
    TestManager manager({label, other});
    FakeOwner parent, control;
    Adopt(parent, control);
    parent.font_color = kParentText;
    control.font_index_answer = [&](TacPaintInfo& info) {
      info.FontIndex = 1;
      return c.answer;
    };
    EXPECT_EQ(GetFontColor(&control, 0, manager.get(), 0), c.expected);
    EXPECT_EQ(control.Count(AC_GETFONTINDEX), c.answer == kNoCommand ? 0 : 1);
  }
}

TEST(BackgroundType, TexturesAndGradientsMarkWhatDependsOnTheSize) {
  struct Case {
    int draw_mode;               // texture draw mode, -1 for no texture
    std::int32_t gradient_mode;  // first point's mode, -1 for no gradient
    int gradient_percent;
    std::uint16_t expected;
  };
  const Case cases[] = {
      {-1, -1, 0, 0},
      {0, -1, 0, BGT_TEXTURELEFT | BGT_TEXTURETOP | BGT_TEXTURERIGHT | BGT_TEXTUREBOTTOM},
      {1, -1, 0,
       BGT_STRETCH | BGT_TEXTURELEFT | BGT_TEXTURETOP | BGT_TEXTURERIGHT | BGT_TEXTUREBOTTOM},
      {2, -1, 0, BGT_TEXTURETOP},
      {3, -1, 0, BGT_TEXTURELEFT},
      {6, -1, 0, BGT_TEXTUREBOTTOM},
      {7, -1, 0, BGT_TEXTURERIGHT},
      {8, -1, 0, BGT_STRETCH | BGT_TEXTUREBOTTOM},
      {13, -1, 0, 0},
      {-1, 0, 50, BGT_GRADIENTVERT},
      {-1, 1, 50, BGT_GRADIENTHORZ},
      {-1, 2, 50, BGT_GRADIENTVERT | BGT_GRADIENTHORZ},
      {-1, 1, 0, 0},                              // a gradient that is not painted
      {-1, 1 | PM_OVERLAY, 0, BGT_GRADIENTHORZ},  // an overlay is painted whatever the percent
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.draw_mode << " " << c.gradient_mode);
    TsGeneralData gd = Section("PANEL", 1);
    std::vector<TsMaskData> masks;
    if (c.draw_mode >= 0) {
      TsMaskData texture;
      texture.DrawMode = static_cast<std::int16_t>(c.draw_mode);
      masks.push_back(texture);
      gd.Props[1].ImagePercent = 50;
      gd.Props[1].TextureIndex = 0;
    }
    if (c.gradient_mode >= 0) {
      gd.Props[0].GradientPercent = c.gradient_percent;
      gd.Props[0].GradientArray = {TsGradPoint{0, c.gradient_mode, 0, 0},
                                   TsGradPoint{1, 0, 0xFFFFFF, 100}};
    }
    TestManager manager({gd}, masks);
    FakeOwner form, panel;
    Adopt(form, panel);
    auto data = MakeState(panel);
    data->SetSkinSection("PANEL");
    EXPECT_EQ(data->BGType, c.expected);
  }
}

TEST(BackgroundType, DecidesWhetherAResizeRepaintsTheWholeControl) {
  struct Case {
    std::uint16_t bg_type;
    std::uint32_t state;
    bool full;
  };
  const Case cases[] = {
      {BGT_GRADIENTHORZ, ACS_REPAINTNEEDH, true},      {BGT_GRADIENTHORZ, ACS_REPAINTNEEDV, false},
      {BGT_GRADIENTVERT, ACS_REPAINTNEEDV, true},      {BGT_GRADIENTVERT, ACS_REPAINTNEEDH, false},
      {BGT_STRETCH, ACS_REPAINTNEEDV, true},           {BGT_TEXTURELEFT, ACS_REPAINTNEEDH, false},
      {BGT_TEXTURELEFT, ACS_REPAINTNEEDV, true},       {BGT_TEXTURETOP, ACS_REPAINTNEEDH, true},
      {0, ACS_REPAINTNEEDH | ACS_REPAINTNEEDV, false},
  };
  FakeOwner owner;
  TsCommonData data(&owner, false);
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.bg_type << " " << c.state);
    data.BGType = c.bg_type;
    data.CtrlSkinState = c.state;
    EXPECT_EQ(data.FullRepaintOnly(), c.full);
  }
}

TEST(Commands, CarryingAnotherManagerAreIgnored) {
  TestManager manager({Section("BUTTON", 1)});
  HeadlessSkinPlatform other_platform(96);
  TsSkinManager other(other_platform);
  FakeOwner form, button;
  Adopt(form, button);
  auto data = MakeState(button);
  data->SetSkinSection("BUTTON");
  data->BGChanged = false;
  const auto foreign = reinterpret_cast<std::intptr_t>(&other);

  Command(*data, AC_REMOVESKIN, foreign);
  EXPECT_EQ(data->SkinIndex, 0);
  Command(*data, AC_FONTSCHANGED, foreign);
  EXPECT_FALSE(data->BGChanged);
  Command(*data, AC_REFRESH, foreign);
  EXPECT_FALSE(data->BGChanged);
  Command(*data, AC_SETNEWSKIN, foreign);
  EXPECT_EQ(data->SkinIndex, 0);

  Command(*data, AC_REFRESH, reinterpret_cast<std::intptr_t>(manager.get()));
  EXPECT_TRUE(data->BGChanged);
  Command(*data, AC_REMOVESKIN, reinterpret_cast<std::intptr_t>(manager.get()));
  EXPECT_EQ(data->SkinIndex, -1);
}

TEST(Commands, PointersFromAnotherThreadOrNullAreNeverFollowed) {
  TestManager manager({Section("BUTTON", 1), Section("EDIT", 2)});
  FakeOwner form, button;
  Adopt(form, button);
  auto data = MakeState(button);
  data->SetSkinSection("BUTTON");

  // Every command that writes or reads through lParam, with a null pointer: nothing happens.
  for (std::uint16_t command : {AC_GETBG, AC_GETSKININDEX, AC_GETFONTINDEX, AC_GETOUTRGN,
                                AC_UPDATESECTION, AC_SETSECTION}) {
    SCOPED_TRACE(command);
    Command(*data, command, 0);
  }

  TacSkinIndexInfo info;
  Command(*data, AC_GETSKININDEX, reinterpret_cast<std::intptr_t>(&info), 0, true);
  EXPECT_EQ(info.SkinIndex, -1) << "a pointer of another process is not written";
  TRect r{1, 2, 3, 4};
  Command(*data, AC_GETOUTRGN, reinterpret_cast<std::intptr_t>(&r), 0, true);
  EXPECT_EQ(r, (TRect{1, 2, 3, 4}));
  const char* edit = "EDIT";
  EXPECT_EQ(Command(*data, AC_SETSECTION, reinterpret_cast<std::intptr_t>(edit), 0, true).Result,
            0);
  EXPECT_EQ(data->SkinSection(), "BUTTON");

  // The same from the window's own thread.
  Command(*data, AC_GETSKININDEX, reinterpret_cast<std::intptr_t>(&info));
  EXPECT_EQ(info.SkinIndex, 0);
  EXPECT_EQ(Command(*data, AC_SETSECTION, reinterpret_cast<std::intptr_t>(edit)).Result, 1);
  EXPECT_EQ(data->SkinIndex, 1);
}

// A command this thread did not send is answered where it lands, but what it carries is not
// kept, and it is not passed on to the children, where it would arrive as one of ours.
TEST(Commands, ForeignCommandsKeepNothingAndGoNoFurther) {
  TestManager manager({Section("PANEL", 1), Section("BUTTON", 2)});
  LoadedPanel loaded;
  FakeOwner& button = loaded.button;
  TsCommonData* data = loaded.data.get();
  const struct {
    std::uint16_t command;
    std::uint16_t argument;
  } passed_on[] = {{AC_SETBGCHANGED, 0},
                   {AC_KILLTIMERS, 0},
                   {AC_REINITSCROLLS, 0},
                   {AC_SETGLASSMODE, 1},
                   {AC_SETSCALE, 0}};
  for (const auto& c : passed_on) {
    SCOPED_TRACE(c.command);
    const int before = button.Count(c.command);
    Command(*data, c.command, 144, c.argument, true);
    EXPECT_EQ(button.Count(c.command), before);
    Command(*data, c.command, 144, c.argument);
    EXPECT_EQ(button.Count(c.command), before + 1) << "an own command reaches the children";
  }

  data->CurrentPPI = 96;
  Command(*data, AC_SETSCALE, 1, 0, true);
  EXPECT_EQ(data->CurrentPPI, 96);
  Command(*data, AC_PRINTING, 0x1234, 1, true);
  EXPECT_EQ(data->CtrlSkinState & ACS_PRINTING, 0u);
  EXPECT_EQ(data->PrintDC, nullptr);
  Command(*data, AC_SETSCALE, 144);
  EXPECT_EQ(data->CurrentPPI, 144);
}

TEST(Commands, ControlColourAChildShouldAssume) {
  struct Case {
    int transparency;
    TColor expected;
  };
  // Own colour 0x000000FF, the parent's 0x00FF0000: the painter's rule
  // BlendColors(parent, own, t * 255 div 100), so that 50 % weighs both alike.
  const Case cases[] = {
      {0, 0x000000FF},
      {100, 0x00FF0000},
      {50, 0x007E007F},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.transparency);
    TestManager manager({Section("PANEL", 0x000000FF, c.transparency)});
    FakeOwner form, panel;
    Adopt(form, panel);
    form.color = 0x00FF0000;
    auto data = MakeState(panel);
    data->SetSkinSection("PANEL");
    EXPECT_EQ(Command(*data, AC_GETCONTROLCOLOR).Result, c.expected);
  }
}

TEST(Commands, UnknownOnesAreSwallowedAndSeveralSetState) {
  TestManager manager({Section("BUTTON", 1)});
  FakeOwner form, button;
  Adopt(form, button);
  auto data = MakeState(button);
  data->SetSkinSection("BUTTON");
  TacMessage unknown = MakeMessage(SM_ALPHACMD, MakeCommandParam(AC_ANIMPAINT), 0);
  EXPECT_TRUE(data->CommonMessage(unknown));

  Command(*data, AC_UPDATING, 0, 1);
  EXPECT_TRUE(data->FUpdating);
  Command(*data, AC_UPDATING, 0, 0);
  EXPECT_FALSE(data->FUpdating);
  Command(*data, AC_SETHALFVISIBLE);
  EXPECT_EQ(Command(*data, AC_GETHALFVISIBLE).Result, 1);
  Command(*data, AC_PRINTING, 0x1234, 1);
  EXPECT_NE(data->CtrlSkinState & ACS_PRINTING, 0u);
  Command(*data, AC_PRINTING, 0, 0);
  EXPECT_EQ(data->CtrlSkinState & ACS_PRINTING, 0u);
  EXPECT_EQ(data->PrintDC, nullptr);
  TacMessage handled = Command(*data, AC_CTRLHANDLED);
  EXPECT_EQ(handled.Result, 1);
  EXPECT_EQ(handled.LParam, 1);
  EXPECT_EQ(Command(*data, AC_GETSKINDATA).Result, reinterpret_cast<std::intptr_t>(data.get()));
}

// A command the state does not keep from the default handling reaches the window's own
// procedure as well; every other one ends at the state.
TEST(Commands, OnlyAnOwnSkinRemovalOrScaleGoOnToTheDefaultHandling) {
  TestManager manager({Section("PANEL", 1), Section("BUTTON", 2)});
  HeadlessSkinPlatform other_platform(96);
  TsSkinManager other(other_platform);
  const auto own = reinterpret_cast<std::intptr_t>(manager.get());
  const auto others = reinterpret_cast<std::intptr_t>(&other);
  struct Case {
    std::uint16_t command;
    std::intptr_t lparam;
    bool foreign;
    bool handled;
  };
  const Case cases[] = {
      {AC_SETNEWSKIN, own, false, true},
      {AC_SETNEWSKIN, others, false, true},
      {AC_REMOVESKIN, own, false, false},
      {AC_REMOVESKIN, others, false, true},
      {AC_REFRESH, own, false, true},
      {AC_FONTSCHANGED, own, false, true},
      {AC_KILLTIMERS, 0, false, true},
      {AC_SETSCALE, 144, false, false},
      {AC_SETSCALE, 144, true, true},
      {AC_GETSCALE, 0, false, true},
      {AC_SETGLASSMODE, 0, false, true},
      {AC_FORCEOPAQUE, 0, false, true},
      {AC_PRINTING, 0, false, true},
      {AC_PRINTING, 0, true, true},
      {AC_ENDPARENTUPDATE, 0, false, true},
      {AC_UPDATING, 0, false, true},
      {AC_PREPARING, 0, false, true},
      {AC_STOPFADING, 0, false, true},
      {AC_SETBGCHANGED, 0, false, true},
      {AC_INVALIDATE, 0, false, true},
      {AC_SETCHANGEDIFNECESSARY, 0, false, true},
      {AC_SETHALFVISIBLE, 0, false, true},
      {AC_PREPARECACHE, 0, false, true},
      {AC_CLEARCACHE, 0, false, true},
      {AC_CLEARCACHE, 0, true, true},
      {AC_REINITSCROLLS, 0, false, true},
      {AC_CTRLHANDLED, 0, false, true},
      {AC_GETHALFVISIBLE, 0, false, true},
      {AC_CHILDCHANGED, 0, false, true},
      {AC_GETCONTROLCOLOR, 0, false, true},
      {AC_GETSKINDATA, 0, false, true},
      {AC_ISOPAQUE, 0, false, true},
      {AC_GETCOMMONSKINDATA, 0, false, true},
      {AC_UPDATESECTION, 0, false, true},
      {AC_SETSECTION, 0, false, true},
      {AC_GETSKININDEX, 0, false, true},
      {AC_GETBG, 0, false, true},
      {AC_GETFONTINDEX, 0, false, true},
      {AC_GETOUTRGN, 0, false, true},
      {AC_PAINTOUTER, 0, false, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "command " << c.command << (c.foreign ? " foreign" : ""));
    LoadedPanel loaded;
    TacMessage message = MakeMessage(SM_ALPHACMD, MakeCommandParam(c.command), c.lparam);
    message.Foreign = c.foreign;
    EXPECT_EQ(loaded.data->CommonMessage(message), c.handled);
  }
  FakeOwner lone;
  auto data = MakeState(lone);
  TacMessage paint = MakeMessage(wm::Paint, 0, 0);
  EXPECT_FALSE(data->CommonMessage(paint)) << "a window message is not a command";
}

TEST(Density, TheSkinCopyFollowsTheOwnersDensityOnceItIsKnown) {
  // Until the control is ready and its parent shows, the copy is a stand-in at 96; it must give
  // way to the owner's own density as soon as that can be told.
  struct Case {
    const char* name;
    std::function<void(FakeOwner&form, FakeOwner&control)> hide, reveal;
  };
  const Case cases[] = {
      {"parent hidden", [](FakeOwner& form, FakeOwner&) { form.visible = false; },
       [](FakeOwner& form, FakeOwner&) { form.visible = true; }},
      {"control loading", [](FakeOwner&, FakeOwner& control) { control.loading = true; },
       [](FakeOwner&, FakeOwner& control) { control.loading = false; }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TestManager manager({Section("MEMO", 0xFFFFFF)});
    manager->Options.ScaleMode = smVCL;
    FakeOwner form, memo;
    form.ppi = memo.ppi = 144;
    Adopt(form, memo);
    c.hide(form, memo);
    auto data = MakeState(memo);
    data->SetSkinSection("MEMO");
    ASSERT_EQ(data->SkinIndex, 0);
    ASSERT_NE(data->GetCommonSkinData(), nullptr);
    EXPECT_EQ(data->GetCommonSkinData()->PPI, 96);

    c.reveal(form, memo);
    ASSERT_NE(data->GetCommonSkinData(), nullptr);
    EXPECT_EQ(data->GetCommonSkinData()->PPI, 144);
    EXPECT_EQ(data->GetPPI(), 144);
    EXPECT_EQ(data->PPIIndex, 2);

    memo.ppi = 192;
    EXPECT_EQ(data->GetPPI(), 144) << "a known density stays until the window hears otherwise";
    TacMessage dpi_changed = MakeMessage(wm::DpiChanged, 0, 0);
    data->CommonWndProc(dpi_changed);
    EXPECT_EQ(data->GetPPI(), 192);
  }
}

TEST(WindowMessages, MovesSizesAndRedrawLocks) {
  TestManager manager({Section("BUTTON", 1)});
  FakeOwner form, button;
  Adopt(form, button);
  auto data = MakeState(button);
  data->SetSkinSection("BUTTON");
  for (std::uint32_t msg : {wm::Size, wm::Move}) {
    data->BGChanged = false;
    TacMessage message = MakeMessage(msg, 0, 0);
    data->CommonWndProc(message);
    EXPECT_EQ(data->BGChanged, msg == wm::Size) << msg;  // an opaque control keeps its cache
  }
  TacMessage lock = MakeMessage(wm::SetRedraw, 0, 0);
  TacMessage unlock = MakeMessage(wm::SetRedraw, 1, 0);
  data->CommonWndProc(unlock);
  EXPECT_EQ(data->RedrawLockCount, 0);
  data->CommonWndProc(lock);
  data->CommonWndProc(lock);
  data->CommonWndProc(unlock);
  EXPECT_EQ(data->RedrawLockCount, 1);
}

}  // namespace
}  // namespace kestrune::skin
