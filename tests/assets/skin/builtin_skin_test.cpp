// The built-in skin as the program links it: the archive, its pictures and the facts of its
// options file that the window's painting relies on.

#include "assets/skin/builtin_skin.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "skin/data/byte_files.h"
#include "skin/data/skin_archive.h"

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

// The options text read plainly: sections in file order, keys with PARENTCLASS inheritance.
class PlainOptions {
 public:
  explicit PlainOptions(const Bytes& text) {
    std::string line;
    std::string section;
    for (std::size_t i = 0; i <= text.size(); ++i) {
      if (i < text.size() && text[i] != '\n') {
        line += static_cast<char>(text[i]);
        continue;
      }
      if (!line.empty() && line.back() == '\r')
        line.pop_back();
      if (line.size() > 2 && line.front() == '[' && line.back() == ']') {
        section = line.substr(1, line.size() - 2);
        order_.push_back(section);
        keys_[section];
      } else if (const auto eq = line.find('='); eq != std::string::npos && !section.empty()) {
        keys_[section].emplace(line.substr(0, eq), line.substr(eq + 1));
      }
      line.clear();
    }
  }

  [[nodiscard]] const std::vector<std::string>& Sections() const { return order_; }
  [[nodiscard]] bool Has(const std::string& section) const { return keys_.contains(section); }
  [[nodiscard]] std::optional<std::string> Own(const std::string& section,
                                               const std::string& key) const {
    const auto s = keys_.find(section);
    if (s == keys_.end())
      return std::nullopt;
    const auto k = s->second.find(key);
    return k == s->second.end() ? std::nullopt : std::optional(k->second);
  }
  [[nodiscard]] std::optional<std::string> Find(std::string section, const std::string& key) const {
    std::set<std::string> seen;
    while (Has(section) && seen.insert(section).second) {
      if (auto value = Own(section, key))
        return value;
      section = Own(section, "PARENTCLASS").value_or("");
    }
    return std::nullopt;
  }

 private:
  std::vector<std::string> order_;
  std::map<std::string, std::map<std::string, std::string>> keys_;
};

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

// The pictures in assets/skin are what the script draws; the build packs a fresh drawing, so a
// script change without a refreshed copy shows here.
TEST(BuiltinSkin, CommittedPicturesMatchThePackedOnes) {
  const TacSkinConvertor convertor = ReadBuiltin();
  const std::string folder = KESTRUNE_SKIN_SOURCE_DIR "/";
  for (const std::string name : {"MASTER COPY.PNG", "GLOWEDIT.PNG"}) {
    const auto committed = DecodePng(ReadFileBytes(folder + name, 1 << 24));
    const auto packed = DecodePng(Member(convertor, name));
    ASSERT_TRUE(committed && packed) << name;
    EXPECT_TRUE(committed->rows == packed->rows)
        << name << " differs from the script's drawing: run python3 assets/skin/draw_skin.py";
  }
  Bytes preview;
  ASSERT_TRUE(GetPreviewStream(preview, BuiltinSkinArchive()));
  const auto committed = DecodePng(ReadFileBytes(folder + "Preview.png", 1 << 24));
  const auto packed = DecodePng(preview);
  ASSERT_TRUE(committed && packed);
  EXPECT_TRUE(committed->rows == packed->rows) << "Preview.png is stale";
  const auto options = ReadFileBytes(folder + "Options.dat", 1 << 24);
  EXPECT_TRUE(options == *convertor.Options) << "Options.dat is not the packed options file";
}

struct KeyFact {
  const char* section;
  const char* key;
  const char* value;  // nullptr: the key is absent, also from every parent.
};

// Values the window's painting and layout rely on, read as written (inherited where the
// section names a parent).
constexpr KeyFact kKeyFacts[] = {
    {"GLOBALINFO", "VERSION", "16.13"},
    {"GLOBALINFO", "MainFont", "Segoe UI"},
    {"GLOBALINFO", "MASTERBITMAP", "MASTER COPY.PNG"},
    {"GLOBALINFO", "BISPACE", "0"},
    {"GLOBALINFO", "BIRIGHT", "-3"},
    {"GLOBALINFO", "BIVALIGN", "1"},
    {"GLOBALINFO", "BILEFT", "0"},
    {"GLOBALINFO", "SCROLLSWIDTH", "10"},
    {"GLOBALINFO", "SCROLLSARROWS", "0"},
    {"GLOBALINFO", "THUMBWIDTH", "6"},
    // Written in GLOBALINFO, where nothing reads it; the tab sections have none.
    {"GLOBALINFO", "TABSCOVERING", "2"},
    {"TABTOP", "TABSCOVERING", nullptr},

    {"EDIT", "STATES", "2"},
    {"EDIT", "COLOR", "2960685"},
    {"EDIT", "HOTCOLOR", "2960685"},
    {"EDIT", "FONTCOLOR", "15921648"},
    {"EDIT", "HOTFONTCOLOR", "16777215"},
    {"EDIT", "GLOW", "1"},
    {"EDIT", "GLOWMARGIN", "1"},
    {"EDIT", "GLOW0", "!GLOWEDIT.PNG!1!0!3!0011!0011!0011!0011!1"},

    {"BUTTON", "STATES", "3"},
    {"BUTTON", "COLOR", "2763306"},
    {"BUTTON", "HOTCOLOR", "3289650"},
    {"BUTTON", "COLOR2", "2500134"},
    {"BUTTON", "USESTATE2", "1"},
    {"BUTTON", "BORDERCOLOR0", "3158064"},
    {"BUTTON", "BORDERCOLOR1", "3684408"},
    {"BUTTON", "BORDERCOLOR2", "2105376"},
    {"BUTTON", "BORDERWIDTH", "1"},
    {"BUTTON", "BORDERRADIUS", "4"},
    {"BUTTON", "FONTCOLOR", "15921648"},
    {"BUTTON", "HOTFONTCOLOR", "16777215"},
    {"BUTTON", "OUTERMODE", "3"},  // A generated outer shadow.

    {"GROUPBOX", "STATES", "1"},
    {"GROUPBOX", "TRANSPARENCY", "100"},
    {"GROUPBOX", "BORDERCOLOR0", "3618615"},
    {"GROUPBOX", "BORDERWIDTH", "1"},
    {"GROUPBOX", "BORDERSMASK", nullptr},

    {"FORM", "FONTCOLOR", "15921648"},
    {"FORM", "BORDERRADIUS", "5"},
    {"FORM", "BORDERSMASK", nullptr},

    {"MENUITEM", "STATES", "2"},
    {"MENUITEM", "TRANSPARENCY", "100"},
    {"MENUITEM", "HOTCOLOR", "6381921"},
    {"MENUITEM", "HOTTRANSPARENCY", "0"},
    {"MENUITEM", "FONTCOLOR", "15921648"},
    {"MENUITEM", "HOTFONTCOLOR", "15921648"},

    {"MAINMENU", "COLOR", "4868682"},
    {"MAINMENU", "BORDERWIDTH", "1"},
    {"MAINMENU", "BORDERCOLOR0", "4868682"},
    {"MAINMENU", "BORDERRADIUS", "6"},
    {"MAINMENU", "BORDERSMASK", nullptr},

    {"ICOLINE", "COLOR", "4210752"},
    {"ICOLINE", "TRANSPARENCY", "100"},

    {"MENULINE", "STATES", "1"},
    {"MENULINE", "TRANSPARENCY", "100"},
    {"MENULINE", "FONTCOLOR", "15921648"},
    {"MENUCAPTION", "GRADIENTDATA", "-11184811;0;0;-11908534;100;0;B"},

    {"SCROLLBAR1V", "COLOR", "2894892"},
    {"SCROLLBAR2V", "COLOR", "2894892"},
    {"SCROLLBAR1H", "COLOR", "2894892"},
    {"SCROLLBAR2H", "COLOR", "2894892"},
    {"SCROLLSLIDERV", "STATES", "1"},
    {"SCROLLSLIDERV", "COLOR", "10461087"},
    {"SCROLLSLIDERV", "HOTCOLOR", "5395026"},
    {"SCROLLSLIDERV", "BORDERRADIUS", "2"},
    {"SCROLLSLIDERH", "COLOR", "10461087"},
};

TEST(BuiltinSkin, OptionsStateTheFactsTheWindowReliesOn) {
  const PlainOptions options(*ReadBuiltin().Options);
  for (const KeyFact& fact : kKeyFacts) {
    SCOPED_TRACE(std::string(fact.section) + " " + fact.key);
    ASSERT_TRUE(options.Has(fact.section));
    const auto value = options.Find(fact.section, fact.key);
    if (fact.value == nullptr)
      EXPECT_FALSE(value.has_value()) << *value;
    else
      EXPECT_EQ(value.value_or("<absent>"), fact.value);
  }
}

TEST(BuiltinSkin, SectionsOfTheWindowArePresent) {
  const PlainOptions options(*ReadBuiltin().Options);
  EXPECT_EQ(options.Sections().size(), 71u);
  EXPECT_EQ(std::set<std::string>(options.Sections().begin(), options.Sections().end()).size(),
            options.Sections().size())
      << "a section is written twice";
  for (const char* name :
       {"GLOBALINFO", "FORM", "FORMTITLE", "MENULINE", "MAINMENU", "MENUITEM", "ICOLINE",
        "MENUCAPTION", "DIVIDERV", "BUTTON", "GROUPBOX", "EDIT", "TRANSPARENT", "SCROLLBAR1V",
        "SCROLLBAR2V", "SCROLLSLIDERV", "SPEEDBUTTON_SMALL"}) {
    EXPECT_TRUE(options.Has(name)) << name;
  }
  EXPECT_FALSE(options.Has("CAPTION"));
  EXPECT_FALSE(options.Has("FORMHEADER"));

  // Several sections glow with the one separate picture.
  int glowing = 0;
  for (const auto& section : options.Sections()) {
    if (options.Own(section, "GLOW0") == "!GLOWEDIT.PNG!1!0!3!0011!0011!0011!0011!1")
      ++glowing;
  }
  EXPECT_GE(glowing, 2);
}

// "@" entries of the master image: left, top, right, bottom and frame count.
struct GlyphFact {
  const char* key;
  int frame_width;
  int frame_height;
  int frames;
};

TEST(BuiltinSkin, TitleGlyphsAreFortyFiveByTwentyPerState) {
  const PlainOptions options(*ReadBuiltin().Options);
  for (const GlyphFact& fact :
       {GlyphFact{"BICONCLOSE", 45, 20, 3}, GlyphFact{"BICONMIN", 45, 20, 3},
        GlyphFact{"BICONMAX", 45, 20, 3}, GlyphFact{"BICONNORM", 45, 20, 3}}) {
    SCOPED_TRACE(fact.key);
    const auto entry = options.Own("GLOBALINFO", fact.key);
    ASSERT_TRUE(entry.has_value());
    // "@LLLL@TTTT@RRRR@BBBB@F@M"
    ASSERT_EQ(entry->size(), 24u);
    const int left = std::stoi(entry->substr(1, 4));
    const int top = std::stoi(entry->substr(6, 4));
    const int right = std::stoi(entry->substr(11, 4));
    const int bottom = std::stoi(entry->substr(16, 4));
    const int frames = std::stoi(entry->substr(21, 1));
    EXPECT_EQ(frames, fact.frames);
    EXPECT_EQ((right - left) / frames, fact.frame_width);
    EXPECT_EQ(bottom - top, fact.frame_height);
    EXPECT_LE(right, 373);
    EXPECT_LE(bottom, 455);
  }
}

}  // namespace
}  // namespace kestrune::skin
