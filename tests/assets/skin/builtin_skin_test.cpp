// The built-in skin as the program links it: the archive, its pictures and the facts of its
// options file that the window's painting relies on.

#include "assets/skin/builtin_skin.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/file_bytes.h"
#include "skin/data/ini_store.h"
#include "skin/data/skin_archive.h"
#include "skin/data/skin_options.h"
#include "tools/kestrune-skin/skin_check.h"

namespace kestrune::skin {
namespace {

TacSkinConvertor ReadBuiltin() {
  TacSkinConvertor convertor;
  convertor.PackedData = BuiltinSkinArchive();
  std::string shown;
  EXPECT_TRUE(ExtractPackedData(convertor, [&shown](const std::string& text) { shown = text; }));
  EXPECT_EQ(shown, "");
  return convertor;
}

std::string_view AsText(const Bytes& bytes) {
  return {reinterpret_cast<const char*>(bytes.data()), bytes.size()};
}

const Bytes& Member(const TacSkinConvertor& convertor, const std::string& name) {
  for (const auto& file : convertor.Files) {
    if (file.Name == name)
      return file.Stream;
  }
  static const Bytes none;
  ADD_FAILURE() << "no member " << name;
  return none;
}

// A PNG's size and its inflated image data, which do not depend on the compressor that wrote it.
struct PngPixels {
  std::uint32_t width = 0;
  std::uint32_t height = 0;
  Bytes rows;
};

std::uint32_t BigEndian(const Bytes& data, std::size_t at) {
  return std::uint32_t{data[at]} << 24 | std::uint32_t{data[at + 1]} << 16 |
         std::uint32_t{data[at + 2]} << 8 | std::uint32_t{data[at + 3]};
}

std::optional<PngPixels> DecodePng(const Bytes& png) {
  static constexpr std::uint8_t kSignature[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  if (png.size() < 33 || !std::equal(std::begin(kSignature), std::end(kSignature), png.begin()))
    return std::nullopt;
  PngPixels result;
  Bytes compressed;
  for (std::size_t at = 8; at + 12 <= png.size();) {
    const std::uint32_t length = BigEndian(png, at);
    const std::string kind(png.begin() + static_cast<std::ptrdiff_t>(at + 4),
                           png.begin() + static_cast<std::ptrdiff_t>(at + 8));
    if (at + 12 + length > png.size())
      return std::nullopt;
    const auto body = png.begin() + static_cast<std::ptrdiff_t>(at + 8);
    if (kind == "IHDR") {
      result.width = BigEndian(png, at + 8);
      result.height = BigEndian(png, at + 12);
    } else if (kind == "IDAT") {
      compressed.insert(compressed.end(), body, body + length);
    }
    at += 12 + length;
  }
  // Eight-bit RGBA rows with their filter byte.
  result.rows.resize(std::size_t{result.height} * (std::size_t{result.width} * 4 + 1));
  uLongf size = static_cast<uLongf>(result.rows.size());
  if (uncompress(result.rows.data(), &size, compressed.data(),
                 static_cast<uLong>(compressed.size())) != Z_OK ||
      size != result.rows.size()) {
    return std::nullopt;
  }
  return result;
}

TEST(BuiltinSkin, StoredItemCarriesTheArchive) {
  const TsStoredSkins skins = BuiltinStoredSkins();
  ASSERT_EQ(skins.Items.size(), 1u);
  const TsStoredSkin& item = skins.Items[0];
  EXPECT_EQ(item.Name, "Windows 11 dark (internal)");
  EXPECT_EQ(item.OriginName, "Windows 11 dark.asz");
  EXPECT_DOUBLE_EQ(item.Version, 16.13);
  const auto archive = BuiltinSkinArchive();
  EXPECT_EQ(item.PackedData, Bytes(archive.begin(), archive.end()));
  EXPECT_EQ(skins.IndexOf("Windows 11 dark (internal)"), 0);
  EXPECT_EQ(skins.IndexOf("windows 11 dark (internal)"), -1);
}

TEST(BuiltinSkin, ArchiveHoldsTheOptionsAndTwoPictures) {
  const auto archive = BuiltinSkinArchive();
  ASSERT_TRUE(HasArchiveSignature(archive));
  std::vector<std::string> names;
  ReadPackedMembers(archive, [&names](PackedMember member) { names.push_back(member.name); });
  EXPECT_EQ(names, (std::vector<std::string>{"OPTIONS.DAT", "GLOWEDIT.PNG", "MASTER COPY.PNG"}));

  const TacSkinConvertor convertor = ReadBuiltin();
  ASSERT_TRUE(convertor.Options.has_value());
  EXPECT_EQ(convertor.FileCount, 2);
  ASSERT_EQ(convertor.Files.size(), 2u);
  for (const auto& file : convertor.Files)
    EXPECT_EQ(file.FileType, TacFileType::ftOther) << file.Name;

  const auto master = DecodePng(Member(convertor, "MASTER COPY.PNG"));
  ASSERT_TRUE(master.has_value());
  EXPECT_EQ(master->width, 373u);
  EXPECT_EQ(master->height, 455u);
  const auto glow = DecodePng(Member(convertor, "GLOWEDIT.PNG"));
  ASSERT_TRUE(glow.has_value());
  // Nine-slice margins of 11 on every side need at least 23 pixels each way.
  EXPECT_GE(glow->width, 23u);
  EXPECT_GE(glow->height, 23u);

  Bytes preview;
  ASSERT_TRUE(GetPreviewStream(preview, archive));
  const auto shown = DecodePng(preview);
  ASSERT_TRUE(shown.has_value());
  EXPECT_EQ(shown->width, 280u);
  EXPECT_EQ(shown->height, 200u);
}

// Pixel rows alike up to 1 in any byte: the script's floating point may round differently with
// another maths library, but a changed drawing differs by much more.
bool SamePixels(const PngPixels& a, const PngPixels& b) {
  if (a.width != b.width || a.height != b.height || a.rows.size() != b.rows.size())
    return false;
  for (std::size_t i = 0; i < a.rows.size(); ++i) {
    if (std::abs(int{a.rows[i]} - int{b.rows[i]}) > 1)
      return false;
  }
  return true;
}

// The pictures in assets/skin are what the script draws; the build packs a fresh drawing, so a
// script change without a refreshed copy shows here.
TEST(BuiltinSkin, CommittedPicturesMatchThePackedOnes) {
  const TacSkinConvertor convertor = ReadBuiltin();
  const std::string folder = KESTRUNE_SKIN_SOURCE_DIR "/";
  for (const std::string name : {"MASTER COPY.PNG", "GLOWEDIT.PNG"}) {
    const auto committed = DecodePng(platform::ReadFileBytes(folder + name, 1 << 24));
    const auto packed = DecodePng(Member(convertor, name));
    ASSERT_TRUE(committed && packed) << name;
    EXPECT_TRUE(SamePixels(*committed, *packed))
        << name << " differs from the script's drawing: run python3 assets/skin/draw_skin.py";
  }
  Bytes preview;
  ASSERT_TRUE(GetPreviewStream(preview, BuiltinSkinArchive()));
  const auto committed = DecodePng(platform::ReadFileBytes(folder + "Preview.png", 1 << 24));
  const auto packed = DecodePng(preview);
  ASSERT_TRUE(committed && packed);
  EXPECT_TRUE(SamePixels(*committed, *packed)) << "Preview.png is stale";
  const auto options = platform::ReadFileBytes(folder + "Options.dat", 1 << 24);
  EXPECT_TRUE(options == *convertor.Options) << "Options.dat is not the packed options file";
}

IniStore OptionsText() {
  return IniStore(AsText(*ReadBuiltin().Options));
}

TsSkinOptions LoadedOptions(int ppi = 96) {
  TsOptionsContext context;
  context.PPI = ppi;
  return LoadSkinOptions(OptionsText(), context);
}

const TsGeneralData& Section(const TsSkinOptions& options, std::string_view name) {
  for (const auto& section : options.gd) {
    if (section.ClassName == name)
      return section;
  }
  ADD_FAILURE() << "no section " << name;
  static const TsGeneralData none;
  return none;
}

const TsMaskData* Mask(const TsSkinOptions& options, std::string_view section,
                       std::string_view key) {
  for (const auto& mask : options.ma) {
    if (mask.ClassName == section && mask.PropertyName == key)
      return &mask;
  }
  return nullptr;
}

// Facts about how the file is written, beyond what the loader makes of it.
TEST(BuiltinSkin, OptionsFileIsWrittenAsTheWindowExpects) {
  const IniStore ini = OptionsText();
  EXPECT_EQ(ini.Sections().size(), 71u);
  EXPECT_FALSE(ini.SectionExists("CAPTION"));
  EXPECT_FALSE(ini.SectionExists("FORMHEADER"));
  // Written in GLOBALINFO, where nothing reads it; the tab section has none of its own.
  ASSERT_NE(ini.Find("GLOBALINFO", "TABSCOVERING"), nullptr);
  EXPECT_EQ(ini.Find("TABTOP", "TABSCOVERING"), nullptr);
  EXPECT_EQ(ini.ReadString("GLOBALINFO", "VERSION", ""), "16.13");
  EXPECT_EQ(ini.ReadString("EDIT", "GLOW0", ""), "!GLOWEDIT.PNG!1!0!3!0011!0011!0011!0011!1");
  // MENULINE has one state, so its written hot font colour is never read.
  EXPECT_NE(ini.Find("MENULINE", "HOTFONTCOLOR"), nullptr);
  // Several sections glow with the one separate picture.
  int glowing = 0;
  for (const auto& section : ini.Sections()) {
    if (ini.ReadString(section.Name, "GLOW0", "") == "!GLOWEDIT.PNG!1!0!3!0011!0011!0011!0011!1")
      ++glowing;
  }
  EXPECT_GE(glowing, 2);
  for (const auto name : {"GROUPBOX", "FORM", "MAINMENU", "BUTTON"})
    EXPECT_EQ(ini.Find(name, "BORDERSMASK"), nullptr) << name << " draws a coloured border";
}

TEST(BuiltinSkin, SkinWideValues) {
  const TsSkinOptions options = LoadedOptions();
  EXPECT_DOUBLE_EQ(options.CommonInfo.Version, 16.13);
  EXPECT_EQ(options.CommonInfo.MainFont, "Segoe UI");
  EXPECT_EQ(options.MasterBitmap, "MASTER COPY.PNG");
  EXPECT_EQ(options.CommonInfo.BIVAlign, 1);
  EXPECT_EQ(options.Metrics.BISpacing, 0);
  EXPECT_EQ(options.Metrics.BIRightMargin, -3);
  EXPECT_EQ(options.Metrics.BILeftMargin, 0);
  EXPECT_EQ(options.Metrics.ScrollsWidth, 10);
  EXPECT_EQ(options.Metrics.ScrollArrows, 0);
  EXPECT_EQ(options.Metrics.ThumbWidth, 6);
  EXPECT_EQ(options.Metrics.TabsCovering, 0);
  EXPECT_EQ(options.CommonInfo.Sections[ssCaption], -1);
  EXPECT_EQ(options.CommonInfo.Sections[ssFormHeader], -1);
  for (const auto key : {"BICONCLOSE", "BICONMIN"}) {
    const TsMaskData* glyph = Mask(options, "GLOBALINFO", key);
    ASSERT_NE(glyph, nullptr) << key;
    EXPECT_EQ(glyph->ImgType, itisaGlyph) << key;
    EXPECT_EQ(glyph->ImageCount, 3) << key;  // Normal, hot, pressed.
    EXPECT_EQ(glyph->R.Width() / glyph->ImageCount, 45) << key;
    EXPECT_EQ(glyph->R.Height(), 20) << key;
  }
}

// At 192 pixels per inch the title glyphs come drawn at twice the size, not resampled.
TEST(BuiltinSkin, TitleGlyphsHaveDoubleSizeDrawings) {
  const TsSkinOptions options = LoadedOptions(192);
  for (const auto key : {"BICONCLOSE", "BICONMIN", "BICONMAX", "BICONNORM", "BICONHELP"}) {
    const TsMaskData* glyph = Mask(options, "GLOBALINFO", key);
    ASSERT_NE(glyph, nullptr) << key;
    EXPECT_EQ(glyph->DivPPI, 192) << key;
    EXPECT_EQ(glyph->R.Width() / glyph->ImageCount, 90) << key;
    EXPECT_EQ(glyph->R.Height(), 40) << key;
  }
}

// One state of a section as the loader reads it; -2 skips a value.
struct StateFact {
  const char* section;
  int state;
  TColor color;
  int transparency;
  TColor font_color;
  TColor border_color;
};

constexpr TColor kAny = -2;

void ExpectUnlessAny(int actual, int expected, const char* what) {
  if (expected != kAny) {
    EXPECT_EQ(actual, expected) << what;
  }
}

TEST(BuiltinSkin, SectionStates) {
  const StateFact facts[] = {
      {"EDIT", 0, 2960685, 0, 15921648, kAny},
      {"EDIT", 1, 2960685, 0, 16777215, kAny},
      {"BUTTON", 0, 2763306, 0, 15921648, 3158064},
      {"BUTTON", 1, 3289650, 0, 16777215, 3684408},
      {"BUTTON", 2, 2500134, 0, kAny, 2105376},
      {"GROUPBOX", 0, kAny, 100, kAny, 3618615},
      {"FORM", 0, kAny, kAny, 15921648, kAny},
      {"MENUITEM", 0, kAny, 100, 15921648, kAny},
      {"MENUITEM", 1, 6381921, 0, 15921648, kAny},
      {"MAINMENU", 0, 4868682, kAny, kAny, 4868682},
      {"ICOLINE", 0, 4210752, 100, kAny, kAny},
      {"MENULINE", 0, kAny, 100, 15921648, kAny},
      {"MENULINE", 1, kAny, 100, 15921648, kAny},
      {"SCROLLBAR1V", 0, 2894892, kAny, kAny, kAny},
      {"SCROLLBAR2V", 0, 2894892, kAny, kAny, kAny},
      {"SCROLLBAR1H", 0, 2894892, kAny, kAny, kAny},
      {"SCROLLBAR2H", 0, 2894892, kAny, kAny, kAny},
      {"SCROLLSLIDERV", 0, 10461087, kAny, kAny, kAny},
      // One state: hovering shows the normal colour, not the written hot one.
      {"SCROLLSLIDERV", 1, 10461087, kAny, kAny, kAny},
      {"SCROLLSLIDERH", 0, 10461087, kAny, kAny, kAny},
  };
  const TsSkinOptions options = LoadedOptions();
  for (const StateFact& fact : facts) {
    SCOPED_TRACE(std::string(fact.section) + " state " + std::to_string(fact.state));
    const TsGenState& state = Section(options, fact.section).Props[std::size_t(fact.state)];
    ExpectUnlessAny(state.Color, fact.color, "color");
    ExpectUnlessAny(state.Transparency, fact.transparency, "transparency");
    ExpectUnlessAny(state.FontColor.Color, fact.font_color, "font_color");
    ExpectUnlessAny(state.BorderColor, fact.border_color, "border_color");
  }
}

// Section-wide values as the loader reads them; -2 skips a value.
struct SectionFact {
  const char* section;
  int states;
  int border_width;
  int border_radius;
  int glow_count;
  int glow_margin;
};

TEST(BuiltinSkin, SectionValues) {
  const SectionFact facts[] = {
      {"EDIT", 2, kAny, kAny, 1, 1},           {"BUTTON", 3, 1, 4, kAny, kAny},
      {"GROUPBOX", 1, 1, kAny, kAny, kAny},    {"FORM", kAny, kAny, 5, kAny, kAny},
      {"MENUITEM", 2, kAny, kAny, kAny, kAny}, {"MAINMENU", kAny, 1, 6, kAny, kAny},
      {"MENULINE", 1, kAny, kAny, kAny, kAny}, {"SCROLLSLIDERV", 1, kAny, 2, kAny, kAny},
  };
  const TsSkinOptions options = LoadedOptions();
  for (const SectionFact& fact : facts) {
    SCOPED_TRACE(fact.section);
    const TsGeneralData& section = Section(options, fact.section);
    ExpectUnlessAny(section.States, fact.states, "states");
    ExpectUnlessAny(section.BorderWidth, fact.border_width, "border_width");
    ExpectUnlessAny(section.BorderRadius, fact.border_radius, "border_radius");
    ExpectUnlessAny(section.GlowCount, fact.glow_count, "glow_count");
    ExpectUnlessAny(section.GlowMargin, fact.glow_margin, "glow_margin");
  }
  EXPECT_GE(Section(options, "BUTTON").OuterMode, 3) << "the button has a generated outer shadow";
  EXPECT_EQ(Section(options, "MAINMENU").BorderIndex, -1);

  const TsGradArray& caption = Section(options, "MENUCAPTION").Props[0].GradientArray;
  ASSERT_EQ(caption.size(), 2u);
  EXPECT_EQ(caption[0].Color, -11184811);
  EXPECT_EQ(caption[1].Color, -11908534);

  const TsMaskData* glow = Mask(options, "EDIT", "GLOW0");
  ASSERT_NE(glow, nullptr);
  EXPECT_EQ(glow->Canonical, "&0000000000000000001100110011001110301000000GLOWEDIT.PNG");
  EXPECT_EQ(glow->ImgType, itisaGlow);
  EXPECT_EQ(glow->ImageCount, 1);
}

TEST(BuiltinSkin, CheckFindsNoProblem) {
  const auto archive = BuiltinSkinArchive();
  EXPECT_EQ(skin_tool::CheckSkinArchive(Bytes(archive.begin(), archive.end())),
            std::vector<std::string>{});
}

}  // namespace
}  // namespace kestrune::skin
