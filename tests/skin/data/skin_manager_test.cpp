#include "skin/data/skin_manager.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "assets/skin/builtin_skin.h"
#include "platform/files.h"
#include "skin/data/skin_archive_writer.h"
#include "skin/data/skin_commands.h"
#include "tests/skin/data/archive_builder.h"
#include "tests/support/temp_dir.h"

namespace kestrune::skin {
namespace {

// Remembers what the manager asked of the windows, in order.
class RecordingPlatform : public SkinManagerPlatform {
 public:
  void BroadcastCommand(std::uint32_t wparam, std::uintptr_t /*lparam*/) override {
    log.push_back("cmd " + std::to_string(CommandOf(wparam)));
  }
  void ShowErrorDialog(std::string_view text) override { log.push_back("error " + Text(text)); }
  void ShowWarningDialog(std::string_view text) override { log.push_back("warning " + Text(text)); }
  void ShowPlainMessage(std::string_view text) override { log.push_back("message " + Text(text)); }
  [[nodiscard]] int SystemPPI() const override { return ppi; }
  [[nodiscard]] std::string ProgramFolder() const override { return program_folder; }
  [[nodiscard]] std::string FirstParameter() const override { return first_parameter; }

  // The log since the last call.
  std::vector<std::string> Take() { return std::exchange(log, {}); }

  std::vector<std::string> log;
  int ppi = 96;
  std::string program_folder = "/nowhere/";
  std::string first_parameter;

 private:
  static std::string Text(std::string_view text) { return std::string(text); }
};

const std::string kBuiltin(kBuiltinSkinName);
const std::string kNewSkin = "cmd 1";
const std::string kRemoveSkin = "cmd 2";
const std::string kRefresh = "cmd 3";
const std::string kStopFading = "cmd 16";
const std::vector<std::string> kNewSkinAndRepaint = {kNewSkin, kStopFading, kRefresh};

// An image entry in the canonical form: rectangle, zero margins, one frame, no mask row.
std::string Entry(int left, int top, int right, int bottom, TacImgType type) {
  char text[64];
  std::snprintf(text, sizeof text,
                "&%04d%04d%04d%04d0000000000000000"
                "10%d00000000",
                left, top, right, bottom, static_cast<int>(type));
  return text;
}

// A small skin: BUTTON with a frame and a texture, COMBONOEDIT inheriting them, and an EDIT
// glyph drawn again for 144 pixels per inch.
std::string SmallOptions(std::string_view version = "2.5") {
  return "[GLOBALINFO]\nVERSION=" + std::string(version) +
         "\n[BUTTON]\nBORDERSMASK=" + Entry(0, 0, 30, 20, itisaBorder) +
         "\nPATTERN=" + Entry(0, 20, 10, 30, itisaTexture) +
         "\nGLYPHMASK=" + Entry(10, 20, 20, 30, itisaGlyph) +
         "\n[COMBONOEDIT]\nPARENTCLASS=BUTTON\n[EDIT]\nGLYPHMASK=" +
         Entry(0, 40, 8, 48, itisaGlyph) + "\nGLYPHMASK*150=" + Entry(0, 50, 12, 62, itisaGlyph) +
         "\n[LOOPA]\nPARENTCLASS=LOOPB\n[LOOPB]\nPARENTCLASS=LOOPA\n";
}

Bytes ArchiveOf(const std::string& options) {
  const std::vector<PackedMember> members = {
      {"OPTIONS.DAT", Bytes(options.begin(), options.end())}};
  return PackSkinArchive(members, std::nullopt);
}

TsStoredSkin StoredSkin(const std::string& name, Bytes data) {
  TsStoredSkin skin;
  skin.Name = name;
  skin.PackedData = std::move(data);
  return skin;
}

class SkinManagerTest : public ::testing::Test {
 protected:
  SkinManagerTest() {
    platform.program_folder = folder.Folder();
    manager.SkinDirectory = "skins";
    manager.InternalSkins = BuiltinStoredSkins();
  }

  // Writes `bytes` to `name` in the skin directory, creating folders on the way.
  void WriteSkinFile(const std::string& name, const std::string& bytes) {
    const std::filesystem::path path = folder.path() / "skins" / name;
    std::filesystem::create_directories(path.parent_path());
    folder.Write((std::filesystem::path("skins") / name).string(), bytes);
  }

  kestrune::test::TempDir folder;
  RecordingPlatform platform;
  TsSkinManager manager{platform};
};

TEST_F(SkinManagerTest, FindsTheInternalSkinByExactNameElseTakesTheFirst) {
  struct Case {
    std::string set;
    std::string stored;
  };
  manager.InternalSkins.Items.push_back(StoredSkin("Second", ArchiveOf(SmallOptions("3.5"))));
  for (const Case& c : {Case{kBuiltin, kBuiltin}, Case{"windows 11 dark (internal)", kBuiltin},
                        Case{kBuiltin + ".ASZ", kBuiltin}, Case{"Second.asz", "Second"},
                        Case{"second", kBuiltin}, Case{".asz", kBuiltin}}) {
    SCOPED_TRACE(c.set);
    manager.SetSkinName("Second");
    platform.Take();
    manager.SetSkinName(c.set);
    EXPECT_EQ(manager.SkinName(), c.stored);
    EXPECT_EQ(platform.Take(), kNewSkinAndRepaint);
    EXPECT_TRUE(manager.IsActive());
    EXPECT_TRUE(manager.SkinIsPacked);
    EXPECT_EQ(manager.SkinInfo(), c.stored == "Second" ? "3.5" : "16.13");
  }
}

TEST_F(SkinManagerTest, SkinFolderAndSkinFileComeBeforeTheInternalSkin) {
  WriteSkinFile(kBuiltin + "/Options.dat", SmallOptions("1.5"));
  const Bytes archive = ArchiveOf(SmallOptions("2.5"));
  WriteSkinFile(kBuiltin + ".asz", std::string(archive.begin(), archive.end()));

  manager.SetSkinName(kBuiltin);
  EXPECT_EQ(manager.SkinInfo(), "1.5");
  EXPECT_FALSE(manager.SkinIsPacked);
  EXPECT_EQ(manager.SkinCommonInfo.SkinPath, folder.Folder() + "skins" + platform::kPathSeparator +
                                                 kBuiltin + platform::kPathSeparator);

  std::filesystem::remove_all(folder.path() / "skins" / kBuiltin);
  manager.SetSkinName(kBuiltin);
  EXPECT_EQ(manager.SkinInfo(), "2.5");
  EXPECT_TRUE(manager.SkinIsPacked);
  EXPECT_EQ(manager.SkinCommonInfo.SkinPath, "");

  std::filesystem::remove(folder.path() / "skins" / (kBuiltin + ".asz"));
  manager.SetSkinName(kBuiltin);
  EXPECT_EQ(manager.SkinInfo(), "16.13");
}

TEST(SkinDirectory, IsResolvedAgainstTheProgramFolder) {
  struct Case {
    std::string_view directory;
    std::string_view expected;
  };
  for (const Case c : {
           Case{"skins", "/opt/app/skins/"},
           Case{"..\\skins", "/opt/skins/"},
           Case{"../skins/", "/opt/skins/"},
           Case{".", "/opt/app/"},
           Case{".\\skins", "/opt/app/skins/"},
           Case{"./skins", "/opt/app/skins/"},
           Case{"c:\\Skins", "c:\\Skins/"},
           Case{"\\\\server\\skins\\", "\\\\server\\skins\\"},
           Case{"/srv/skins", "/srv/skins/"},
       }) {
    SCOPED_TRACE(c.directory);
#ifdef _WIN32
    std::string expected(c.expected);
    std::replace(expected.begin(), expected.end(), '/', '\\');
    if (c.directory == "/srv/skins") {
      continue;  // Relative to the program folder on Windows.
    }
#else
    const std::string expected(c.expected);
#endif
    EXPECT_EQ(ResolveSkinDirectory(c.directory, "/opt/app/"), expected);
  }
}

TEST_F(SkinManagerTest, SwitchingActiveOffAndOnReloadsAndRebroadcasts) {
  manager.SetSkinName(kBuiltin);
  platform.Take();

  manager.SetActive(false);
  EXPECT_EQ(platform.Take(), std::vector<std::string>{kRemoveSkin});
  EXPECT_FALSE(manager.IsActive());
  EXPECT_EQ(manager.SkinInfo(), "N/A");
  EXPECT_TRUE(manager.SkinDataArray.empty());
  EXPECT_EQ(manager.GetSkinIndex("EDIT"), -1);

  manager.SetSkinName("Second");  // Stored only while inactive.
  manager.SetSkinName(kBuiltin);
  EXPECT_TRUE(platform.Take().empty());

  manager.SetActive(true);
  EXPECT_EQ(platform.Take(), kNewSkinAndRepaint);
  EXPECT_TRUE(manager.IsActive());
  EXPECT_GE(manager.GetSkinIndex("EDIT"), 0);
}

TEST_F(SkinManagerTest, ReadingTheDescriptionBroadcastsOnlyWhenLoaded) {
  int activations = 0;
  manager.OnActivate = [&activations] { ++activations; };
  manager.SkinDirectory.clear();
  manager.BeginLoading();
  manager.SetSkinName(kBuiltin);
  EXPECT_TRUE(platform.Take().empty());
  EXPECT_GE(manager.GetSkinIndex("FORM"), 0);  // Loaded already.

  manager.Loaded();
  EXPECT_EQ(platform.Take(), std::vector<std::string>{kNewSkin});
  EXPECT_EQ(manager.SkinDirectory, "c:\\Skins");
  EXPECT_EQ(manager.MenuSupport.IcoLineSkin, "ICOLINE");
  EXPECT_EQ(manager.ThirdLists[1], std::vector<std::string>{"TButton"});
  EXPECT_TRUE(manager.ThirdLists[10].empty());
  EXPECT_EQ(activations, 1);
}

TEST_F(SkinManagerTest, FailedLoadsKeepThePreviousNameAndShowTheError) {
  test::ArchiveBuilder damaged(1);
  damaged.Member("OPTIONS.DAT", test::ToBytes(SmallOptions()));
  damaged.bytes.resize(damaged.bytes.size() - 5);
  WriteSkinFile("Damaged.asz", std::string(damaged.bytes.begin(), damaged.bytes.end()));
  WriteSkinFile("BadEntry/Options.dat", "[BUTTON]\nBORDERSMASK=&00x0\n");
  test::ArchiveBuilder no_options(1);
  no_options.Member("MASTER.BMP", test::ToBytes("BM"));
  WriteSkinFile("NoOptions.asz", std::string(no_options.bytes.begin(), no_options.bytes.end()));

  struct Case {
    std::string name;
    std::string stored;
    std::string shown;
  };
  const std::string format_error =
      "message Internal format error in the \"NoOptions\" skin. Please, update this skin to "
      "latest version.";
  for (const Case& c : {Case{"Damaged", kBuiltin, "error "},
                        Case{"BadEntry", kBuiltin, "error '00X0' is not a valid integer value"},
                        Case{"NoOptions", "NoOptions", format_error}}) {
    SCOPED_TRACE(c.name);
    manager.SetSkinName(kBuiltin);
    platform.Take();
    manager.SetSkinName(c.name);
    EXPECT_EQ(manager.SkinName(), c.stored);
    const std::vector<std::string> log = platform.Take();
    ASSERT_EQ(log.size(), 4u);
    EXPECT_EQ(log[0].substr(0, c.shown.size()), c.shown);
    // The broadcast follows the failure; no skin is shown.
    EXPECT_EQ(std::vector<std::string>(log.begin() + 1, log.end()), kNewSkinAndRepaint);
    EXPECT_FALSE(manager.IsActive());
    EXPECT_EQ(manager.SkinInfo(), "N/A");
  }
}

TEST_F(SkinManagerTest, WithoutAnySkinTheManagerSwitchesOff) {
  manager.InternalSkins.Items.clear();
  manager.SetSkinName(kBuiltin);
  EXPECT_FALSE(manager.Active());
  EXPECT_EQ(platform.Take(), std::vector<std::string>{kRemoveSkin});
  EXPECT_EQ(manager.SkinInfo(), "N/A");
}

TEST_F(SkinManagerTest, LookupsBySectionAndKey) {
  manager.InternalSkins.Items = {StoredSkin("Small", ArchiveOf(SmallOptions()))};
  manager.SetSkinName("Small");
  const int button = manager.GetSkinIndex("BUTTON");
  const int combo = manager.GetSkinIndex("COMBONOEDIT");
  ASSERT_GE(button, 0);
  ASSERT_GE(combo, 0);
  EXPECT_EQ(manager.GetSkinIndex("button"), -1);
  EXPECT_EQ(manager.GetSkinIndex(""), -1);

  const int frame = manager.GetMaskIndex(button, "BORDERSMASK");
  ASSERT_GE(frame, 0);
  EXPECT_EQ(manager.GetMaskIndex(combo, "BORDERSMASK"), frame);
  EXPECT_EQ(manager.GetMaskIndex(combo, "BUTTON", nullptr, "BORDERSMASK"), -1);
  EXPECT_EQ(manager.GetMaskIndex(combo, "COMBONOEDIT", nullptr, "BORDERSMASK"), frame);
  EXPECT_EQ(manager.GetMaskIndex("COMBONOEDIT", "BORDERSMASK"), -1);
  EXPECT_EQ(manager.GetMaskIndex("BUTTON", "BORDERSMASK"), frame);
  EXPECT_EQ(manager.GetMaskIndex(manager.GetSkinIndex("LOOPA"), "BORDERSMASK"), -1);
  EXPECT_EQ(manager.GetMaskIndex(-1, "BORDERSMASK"), -1);

  const int texture = manager.GetTextureIndex(combo, "PATTERN");
  EXPECT_EQ(texture, manager.GetMaskIndex(button, "PATTERN"));
  EXPECT_EQ(manager.GetTextureIndex(combo, "GLYPHMASK"), -1);

  const TsGeneralData& section = manager.gd()[static_cast<std::size_t>(combo)];
  EXPECT_EQ(section.BorderIndex, frame);
  EXPECT_EQ(section.Props[0].TextureIndex, texture);
  EXPECT_EQ(manager.ma()[static_cast<std::size_t>(frame)].Width, 30);
  EXPECT_TRUE(manager.IsValidSkinIndex(combo));
  EXPECT_FALSE(manager.IsValidImgIndex(static_cast<int>(manager.ma().size())));
}

// A ring of sections, each naming the next as its parent, with one frame half way round: every
// section finds it, going round the ring once, and a hostile skin of many sections loads.
TEST_F(SkinManagerTest, LookupsFollowLongAndCyclicParentChains) {
  constexpr int kRing = 20000;
  std::string options = "[GLOBALINFO]\nVERSION=2.5\n";
  for (int i = 0; i < kRing; ++i) {
    options +=
        "[C" + std::to_string(i) + "]\nPARENTCLASS=C" + std::to_string((i + 1) % kRing) + "\n";
    if (i == kRing / 2)
      options += "BORDERSMASK=" + Entry(0, 0, 30, 20, itisaBorder) + "\n";
  }
  manager.InternalSkins.Items = {StoredSkin("Ring", ArchiveOf(options))};
  manager.SetSkinName("Ring");
  const auto section = [this](int i) { return manager.GetSkinIndex("C" + std::to_string(i)); };
  const int frame = manager.GetMaskIndex(section(kRing / 2), "BORDERSMASK");
  ASSERT_GE(frame, 0);
  for (const int i : {0, 1, kRing / 2 - 1, kRing / 2 + 1, kRing - 1}) {
    SCOPED_TRACE(i);
    EXPECT_EQ(manager.GetMaskIndex(section(i), "BORDERSMASK"), frame);
    EXPECT_EQ(manager.gd()[static_cast<std::size_t>(section(i))].BorderIndex, frame);
    EXPECT_EQ(manager.GetMaskIndex(section(i), "GLYPHMASK"), -1);
  }
  // A walk that stops at a named parent ends before the frame, or finds it first.
  EXPECT_EQ(manager.GetMaskIndex(section(0), "C5", nullptr, "BORDERSMASK"), -1);
  EXPECT_EQ(manager.GetMaskIndex(section(kRing / 2 - 2), "C5", nullptr, "BORDERSMASK"), frame);
}

TEST_F(SkinManagerTest, BuiltInSkinTablesAndColours) {
  manager.SetSkinName(kBuiltin);
  const TacSkinData& data = manager.CommonSkinData();
  EXPECT_EQ(manager.GetSkinIndex("edit"), -1);
  EXPECT_GE(manager.GetSkinIndex("EDIT"), 0);
  EXPECT_EQ(manager.SkinCommonInfo.Sections[ssForm], manager.GetSkinIndex("FORM"));
  EXPECT_GE(data.TitleGlyphs[1], 0);                    // BICONCLOSE
  EXPECT_EQ(data.TitleGlyphs[0], data.TitleGlyphs[1]);  // No lone close glyph of its own.
  EXPECT_EQ(data.TitleGlyphs[6], data.TitleGlyphs[1]);  // Small glyphs borrow the large ones.
  EXPECT_EQ(data.TitleGlyphs[12], -1);
  EXPECT_EQ(data.ComboBtn.SkinIndex, manager.GetSkinIndex("COMBOBTN"));
  EXPECT_EQ(data.ScrollBtns[1].SkinSection, "SCROLLBTNTOP");
  EXPECT_EQ(manager.GetGlobalColor(), manager.Palette[pcMainColor]);
  EXPECT_EQ(manager.GetHighLightColor(true), manager.Palette[pcSelectionBG_Focused]);
}

TEST_F(SkinManagerTest, AtHigherDensityACopyPerDensityInUse) {
  platform.ppi = 144;
  manager.InternalSkins.Items = {StoredSkin("Small", ArchiveOf(SmallOptions()))};
  manager.SetSkinName("Small");
  ASSERT_EQ(manager.SkinDataArray.size(), 3u);
  ASSERT_NE(manager.SkinDataArray[0], nullptr);
  EXPECT_EQ(manager.SkinDataArray[1], nullptr);
  ASSERT_NE(manager.SkinDataArray[2], nullptr);

  TacSkinData& at96 = manager.CommonSkinData(96);
  TacSkinData& at144 = manager.CommonSkinData(144);
  EXPECT_EQ(&at144, manager.SkinDataArray[2].get());
  EXPECT_EQ(at144.PPI, 144);
  EXPECT_EQ(at144.ScalePercent, 150);
  EXPECT_EQ(at144.Spacing, 6);
  const int edit = manager.GetSkinIndex("EDIT", &at144);
  const TsMaskData& glyph144 =
      at144.ma[static_cast<std::size_t>(at144.GetMaskIndex(edit, "GLYPHMASK"))];
  EXPECT_EQ(glyph144.DivPPI, 144);
  EXPECT_EQ(glyph144.Width, 12);
  const TsMaskData& glyph96 =
      at96.ma[static_cast<std::size_t>(at96.GetMaskIndex(edit, "GLYPHMASK"))];
  EXPECT_EQ(glyph96.DivPPI, 96);
  EXPECT_EQ(glyph96.Width, 8);
}

TEST_F(SkinManagerTest, WithoutASkinLookupsFindNothing) {
  EXPECT_EQ(manager.SkinInfo(), "N/A");
  EXPECT_EQ(manager.GetSkinIndex("EDIT"), -1);
  EXPECT_EQ(manager.GetMaskIndex(0, "BORDERSMASK"), -1);
  EXPECT_FALSE(manager.IsValidSkinIndex(0));
  EXPECT_EQ(manager.CommonSkinData(192).PPI, 192);
  EXPECT_TRUE(manager.SkinDataArray.empty());
}

TEST_F(SkinManagerTest, NewerSkinVersionsAreWarnedAbout) {
  struct Case {
    std::string version;
    std::string parameter;
    bool warned;
  };
  for (const Case& c : {Case{"16.99", "", false}, Case{"17.5", "", true},
                        Case{"17.5", "/acpreview", false}, Case{"9", "", false}}) {
    SCOPED_TRACE(c.version + c.parameter);
    platform.first_parameter = c.parameter;
    manager.InternalSkins.Items = {StoredSkin("Versioned", ArchiveOf(SmallOptions(c.version)))};
    manager.SetSkinName("Versioned");
    const std::vector<std::string> log = platform.Take();
    if (c.warned) {
      ASSERT_EQ(log.size(), 4u);
      EXPECT_EQ(log[0],
                "warning This skin version (17.50) is not completely supported by the library "
                "release (17.10). Please update the components to the latest version.");
    } else {
      EXPECT_EQ(log, kNewSkinAndRepaint);
    }
    EXPECT_TRUE(manager.IsActive());
  }
}

TEST_F(SkinManagerTest, ChangeEventsInOrderAndACancelledChange) {
  std::vector<std::string> events;
  manager.OnBeforeChange = [&events] { events.push_back("before"); };
  manager.OnSkinChanging = [&events](const std::string& name) {
    events.push_back("changing " + name);
    return name != "Refused";
  };
  manager.OnSkinLoading = [&events] { events.push_back("loading"); };
  manager.OnActivate = [&events] { events.push_back("activate"); };
  manager.OnAfterChange = [&events] { events.push_back("after"); };
  manager.SetSkinName(kBuiltin);
  EXPECT_EQ(events, (std::vector<std::string>{"before", "changing " + kBuiltin, "loading",
                                              "activate", "after"}));
  events.clear();
  platform.Take();
  manager.SetSkinName("Refused");
  EXPECT_EQ(events, (std::vector<std::string>{"before", "changing Refused"}));
  EXPECT_EQ(manager.SkinName(), "Refused");
  EXPECT_TRUE(platform.Take().empty());
}

TEST_F(SkinManagerTest, UpdatesWithoutAutomaticBroadcast) {
  manager.BeginUpdate();
  manager.SetSkinName(kBuiltin);
  EXPECT_TRUE(platform.Take().empty());
  manager.EndUpdate(true, false);
  EXPECT_EQ(platform.Take(), kNewSkinAndRepaint);
}

TEST(SkinManagerScale, ScaleIntFollowsTheScaleMode) {
  RecordingPlatform platform;
  TsSkinManager manager(platform);
  EXPECT_EQ(manager.ScaleInt(10), 10);  // The window framework scales in this mode.
  EXPECT_EQ(manager.ScaleInt(10, 2), 15);
  manager.Options.ScaleMode = sm200;
  EXPECT_EQ(manager.ScaleInt(10), 20);
  manager.Options.ScaleMode = smCustomPPI;
  manager.Options.PixelsPerInch = 120;
  EXPECT_EQ(manager.ScaleInt(10), 12);
  manager.Options.ScaleMode = smOldMode;
  EXPECT_EQ(manager.ScaleInt(10, 3), 10);
}

TEST(SkinManagerDefault, TheFirstManagerIsTheDefault) {
  RecordingPlatform platform;
  auto first = std::make_unique<TsSkinManager>(platform);
  TsSkinManager second(platform);
  EXPECT_EQ(DefaultManager(), first.get());
  EXPECT_TRUE(first->IsDefault());
  EXPECT_FALSE(second.IsDefault());
  first.reset();
  EXPECT_EQ(DefaultManager(), nullptr);
  second.SetIsDefault(true);
  EXPECT_EQ(DefaultManager(), &second);
}

}  // namespace
}  // namespace kestrune::skin
