// kestrune-skin run as a skin author would run it: what it prints, its exit status and the files.

#include "tools/kestrune-skin/skin_tool.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>

#include "skin/data/skin_archive.h"
#include "tests/support/build_path.h"
#include "tests/support/process_run.h"
#include "tests/support/skin_fixtures.h"
#include "tests/support/small_disk.h"
#include "tests/support/temp_dir.h"

namespace kestrune {
namespace {

std::string ToolPath() {
  return test::BuildPath(KESTRUNE_SKIN_TOOL_PATH);
}

// A member written by hand: name, unpacked size and a stored (uncompressed) zlib stream of one
// block with the Adler-32 of `data`.
std::string RawMember(const std::string& name, const std::string& data) {
  std::string out;
  const auto put_u32 = [&out](std::uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8)
      out += static_cast<char>(value >> shift);
  };
  put_u32(static_cast<std::uint32_t>(name.size()));
  out += name;
  put_u32(static_cast<std::uint32_t>(data.size()));
  const auto size = static_cast<std::uint16_t>(data.size());
  out += "\x78\x01\x01";
  out += static_cast<char>(size & 0xFF);
  out += static_cast<char>(size >> 8);
  out += static_cast<char>(~size & 0xFF);
  out += static_cast<char>((~size >> 8) & 0xFF);
  out += data;
  std::uint32_t a = 1;
  std::uint32_t b = 0;
  for (const char c : data) {
    a = (a + static_cast<unsigned char>(c)) % 65521;
    b = (b + a) % 65521;
  }
  const std::uint32_t adler = b << 16 | a;
  for (int shift = 24; shift >= 0; shift -= 8)
    out += static_cast<char>(adler >> shift);
  return out;
}

class SkinToolTest : public testing::Test {
 protected:
  test::ProcessResult Run(const std::vector<std::string>& arguments) {
    return test::RunProcess(ToolPath(), arguments, work.Folder());
  }

  test::TempDir work;
};

TEST_F(SkinToolTest, PacksListsAndUnpacks) {
  test::TempDir skin;
  skin.Write("GLOWEDIT.PNG", "glow picture");
  skin.Write("Options.dat", "[GLOBAL]\r\n");
  skin.Write("Title.ttf", "font");
  skin.Write("mask.BMP", std::string(5000, 'm'));
  work.Write("preview.png", "\x89PNG preview");

  auto result = Run({"pack", skin.Folder(), "dark.asz", "--preview", "preview.png"});
  ASSERT_EQ(result.exit_code, 0) << result.err;
  EXPECT_EQ(result.out + result.err, "");

  result = Run({"list", "dark.asz"});
  EXPECT_EQ(result.exit_code, 0) << result.err;
  EXPECT_EQ(result.out,
            "Options.dat\toptions\t10\n"
            "GLOWEDIT.PNG\tother\t12\n"
            "Title.ttf\tfont\t4\n"
            "mask.BMP\tbmp\t5000\n"
            "preview\t12\n");

  result = Run({"unpack", "dark.asz", "out", "--preview", "shown.png"});
  EXPECT_EQ(result.exit_code, 0) << result.err;
  EXPECT_EQ(test::FileNames(work.path() / "out"),
            (std::vector<std::string>{"GLOWEDIT.PNG", "Options.dat", "Title.ttf", "mask.BMP"}));
  EXPECT_EQ(test::ReadFileBytes(work.path() / "out" / "mask.BMP"), std::string(5000, 'm'));
  EXPECT_EQ(test::ReadFileBytes(work.path() / "shown.png"), "\x89PNG preview");

  // Packing what was unpacked gives the same archive.
  result = Run({"pack", "out", "again.asz", "--preview", "shown.png"});
  EXPECT_EQ(result.exit_code, 0) << result.err;
  EXPECT_EQ(test::ReadFileBytes(work.path() / "again.asz"),
            test::ReadFileBytes(work.path() / "dark.asz"));
}

TEST_F(SkinToolTest, ListsAnArchiveWithoutPreview) {
  work.Write("plain.asz", std::string("ASzf\x02\0\0\0", 8) + RawMember("a.otf", "xy") +
                              RawMember("OPTIONS.DAT", "o"));
  const auto result = Run({"list", "plain.asz"});
  EXPECT_EQ(result.exit_code, 0) << result.err;
  EXPECT_EQ(result.out, "a.otf\tfont\t2\nOPTIONS.DAT\toptions\t1\n");
}

TEST_F(SkinToolTest, RefusesInvalidArchives) {
  const std::string header = std::string("ASzf\x01\0\0\0", 8);
  work.Write("text.asz", "just text");
  work.Write("cut.asz", header + RawMember("OPTIONS.DAT", "options").substr(0, 20));
  work.Write("escape.asz", header + RawMember("../escaped.txt", "x"));
  work.Write("twice.asz", std::string("ASzf\x03\0\0\0", 8) + RawMember("OPTIONS.DAT", "o") +
                              RawMember("a.png", "first") + RawMember("A.PNG", "second"));
  std::filesystem::create_directory(work.path() / "skin");
  work.Write("skin/OPTIONS.DAT", "o");

  const struct {
    std::vector<std::string> arguments;
    std::string error;
  } cases[] = {
      {{"list", "text.asz"}, "kestrune-skin: Loaded data is not a packed Quorvel file\n"},
      {{"unpack", "text.asz", "out"}, "kestrune-skin: Loaded data is not a packed Quorvel file\n"},
      {{"list", "cut.asz"},
       "kestrune-skin: The skin archive member \"OPTIONS.DAT\" is cut short.\n"},
      {{"unpack", "escape.asz", "out"},
       "kestrune-skin: The skin archive member \"../escaped.txt\" is not a plain file name; "
       "nothing was unpacked.\n"},
      {{"unpack", "cut.asz", "out", "--preview", "p.png"},
       "kestrune-skin: The skin archive member \"OPTIONS.DAT\" is cut short.\n"},
      {{"unpack", "twice.asz", "out"},
       "kestrune-skin: The skin archive holds two members named \"a.png\" and \"A.PNG\"; "
       "nothing was unpacked.\n"},
      {{"pack", "work", "x.asz"}, "kestrune-skin: Cannot read the folder \"work\"."},
      {{"pack", ".", "x.asz"}, "kestrune-skin: The folder \".\" has no OPTIONS.DAT file.\n"},
  };
  for (const auto& [arguments, error] : cases) {
    SCOPED_TRACE(arguments[0] + " " + arguments[1]);
    const auto result = Run(arguments);
    EXPECT_EQ(result.exit_code, 1);
    EXPECT_EQ(result.err.substr(0, error.size()), error);
    EXPECT_EQ(result.out, "");
  }
  EXPECT_EQ(test::FileNames(work.path()),
            (std::vector<std::string>{"cut.asz", "escape.asz", "skin", "text.asz", "twice.asz"}))
      << "nothing written for a refused archive";
}

// The preview opens no window for an archive it cannot show, and none at all in the native
// build: the reason goes to standard error and the exit status is 1.
TEST_F(SkinToolTest, PreviewRefusesBeforeAnyWindowOpens) {
  const std::string header = std::string("ASzf\x01\0\0\0", 8);
  work.Write("text.asz", "just text");
  work.Write("cut.asz", header + RawMember("OPTIONS.DAT", "options").substr(0, 20));
  const struct {
    std::string archive;
    std::string error;  // on Windows; natively every call is refused for want of a window
  } cases[] = {
      {"text.asz", "kestrune-skin: Loaded data is not a packed Quorvel file\n"},
      {"cut.asz", "kestrune-skin: The skin archive member \"OPTIONS.DAT\" is cut short.\n"},
      {"missing.asz", "kestrune-skin: "},
  };
  for (const auto& [archive, error] : cases) {
    SCOPED_TRACE(archive);
    const auto result = Run({"preview", archive, "--shot", "shot.png"});
    EXPECT_EQ(result.exit_code, 1);
#ifdef _WIN32
    EXPECT_EQ(result.err.substr(0, error.size()), error);
#else
    EXPECT_EQ(result.err,
              "kestrune-skin: preview opens a window and needs Windows or Wine: run "
              "kestrune-skin.exe of the windows build\n");
#endif
    EXPECT_EQ(result.out, "");
  }
  EXPECT_FALSE(std::filesystem::exists(work.path() / "shot.png"));
}

// Makes a symbolic link, or skips the test where the system will not.
#define MAKE_LINK_OR_SKIP(target, link)                                       \
  do {                                                                        \
    std::error_code link_error;                                               \
    std::filesystem::create_symlink((target), (link), link_error);            \
    if (link_error)                                                           \
      GTEST_SKIP() << "cannot make symbolic links: " << link_error.message(); \
  } while (false)

TEST_F(SkinToolTest, UnpackNeverWritesThroughALink) {
  test::TempDir outside;
  outside.Write("victim.txt", "keep me");
  work.Write("two.asz", std::string("ASzf\x02\0\0\0", 8) + RawMember("OPTIONS.DAT", "o") +
                            RawMember("m.png", "picture"));
  std::filesystem::create_directory(work.path() / "out");
  const struct {
    const char* name;
    std::filesystem::path target;
  } cases[] = {
      {"m.png", outside.path() / "victim.txt"},
      {"OPTIONS.DAT", outside.path() / "dangling.txt"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const auto link = work.path() / "out" / c.name;
    MAKE_LINK_OR_SKIP(c.target, link);
    const auto result = Run({"unpack", "two.asz", "out"});
    EXPECT_EQ(result.exit_code, 1);
    EXPECT_NE(result.err.find("is a symbolic link"), std::string::npos) << result.err;
    EXPECT_NE(result.err.find("Nothing was unpacked."), std::string::npos) << result.err;
    EXPECT_EQ(test::ReadFileBytes(outside.path() / "victim.txt"), "keep me");
    EXPECT_EQ(test::FileNames(outside.path()), std::vector<std::string>{"victim.txt"});
    EXPECT_EQ(test::FileNames(work.path() / "out"), std::vector<std::string>{c.name});
    std::filesystem::remove(link);
  }
  // Without the links the same archive unpacks, leaving no temporary file behind.
  const auto result = Run({"unpack", "two.asz", "out"});
  EXPECT_EQ(result.exit_code, 0) << result.err;
  EXPECT_EQ(test::FileNames(work.path() / "out"),
            (std::vector<std::string>{"OPTIONS.DAT", "m.png"}));
}

TEST_F(SkinToolTest, PackTakesOnlyTheFolderOwnFilesAndNamesTheOthers) {
  test::TempDir outside;
  outside.Write("secret.txt", "not for the archive");
  test::TempDir skin;
  skin.Write("OPTIONS.DAT", "o");
  skin.Write("a.png", "picture");
  std::filesystem::create_directory(skin.path() / "sub");
  MAKE_LINK_OR_SKIP(outside.path() / "secret.txt", skin.path() / "b.png");

  auto result = Run({"pack", skin.Folder(), "s.asz"});
  ASSERT_EQ(result.exit_code, 0) << result.err;
  EXPECT_EQ(result.err,
            "kestrune-skin: not packed: b.png: a symbolic link\n"
            "kestrune-skin: not packed: sub: a folder\n");
  result = Run({"list", "s.asz"});
  EXPECT_EQ(result.out, "OPTIONS.DAT\toptions\t1\na.png\tother\t7\n");

  // Two names that differ only in case cannot both go into an archive.
  skin.Write("A.PNG", "other picture");
  if (test::FileNames(skin.path()).size() == 5) {
    result = Run({"pack", skin.Folder(), "s.asz"});
    EXPECT_EQ(result.exit_code, 1);
    EXPECT_NE(result.err.find("cannot tell apart"), std::string::npos) << result.err;
    EXPECT_EQ(test::ReadFileBytes(work.path() / "s.asz").substr(0, 4), "ASzf");
  }
}

// The old archive survives a pack that runs out of disk space.
TEST_F(SkinToolTest, PackOnAFullDiskKeepsTheOldArchive) {
  test::SmallDisk disk(64 * 1024);
  if (!disk.Mounted())
    GTEST_SKIP() << disk.why();
  const std::string old_archive = std::string("ASzf\x01\0\0\0", 8) + RawMember("OPTIONS.DAT", "o");
  { std::ofstream(disk.path() / "s.asz", std::ios::binary) << old_archive; }
  test::TempDir skin;
  skin.Write("OPTIONS.DAT", "o");
  // Random bytes do not compress: the new archive cannot fit.
  std::string noise(100 * 1024, '\0');
  std::mt19937 random(7);
  for (char& c : noise)
    c = static_cast<char>(random());
  skin.Write("noise.png", noise);

  const auto result = Run({"pack", skin.Folder(), disk.Folder() + "s.asz"});
  EXPECT_EQ(result.exit_code, 1);
  EXPECT_NE(result.err.find("Cannot write to file"), std::string::npos) << result.err;
  EXPECT_EQ(test::ReadFileBytes(disk.path() / "s.asz"), old_archive);
  EXPECT_EQ(test::FileNames(disk.path()), std::vector<std::string>{"s.asz"});
}

// An unpack that runs out of disk space leaves the folder as it found it: the members it wrote
// are gone, a folder it made is gone, and files that were there keep what they held.
TEST_F(SkinToolTest, UnpackOnAFullDiskLeavesTheFolderAsItWas) {
  test::SmallDisk disk(64 * 1024);
  if (!disk.Mounted())
    GTEST_SKIP() << disk.why();
  // Random bytes: the last member cannot fit beside the first two.
  std::string noise(60 * 1024, '\0');
  std::mt19937 random(11);
  for (char& c : noise)
    c = static_cast<char>(random());
  work.Write("three.asz", std::string("ASzf\x03\0\0\0", 8) + RawMember("OPTIONS.DAT", "new") +
                              RawMember("a.png", noise.substr(0, 20 * 1024)) +
                              RawMember("b.png", noise));
  std::filesystem::create_directory(disk.path() / "old");
  { std::ofstream(disk.path() / "old" / "OPTIONS.DAT", std::ios::binary) << "old options"; }
  { std::ofstream(disk.path() / "old" / "mine.txt", std::ios::binary) << "mine"; }

  const struct {
    const char* folder;
    std::vector<std::string> files_after;  // in the disk's top folder
  } cases[] = {
      {"new", {"old"}},
      {"made/deeper", {"old"}},
      {"old", {"old"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.folder);
    const auto result = Run({"unpack", "three.asz", disk.Folder() + c.folder});
    EXPECT_EQ(result.exit_code, 1);
    EXPECT_NE(result.err.find("Cannot write to file"), std::string::npos) << result.err;
    EXPECT_NE(result.err.find("Nothing was unpacked."), std::string::npos) << result.err;
    EXPECT_EQ(test::FileNames(disk.path()), c.files_after);
    EXPECT_EQ(test::FileNames(disk.path() / "old"),
              (std::vector<std::string>{"OPTIONS.DAT", "mine.txt"}));
    EXPECT_EQ(test::ReadFileBytes(disk.path() / "old" / "OPTIONS.DAT"), "old options");
  }
  // The preview goes with the members: when it cannot be written, neither are they.
  const std::uint32_t size = 60 * 1024;
  work.Write("preview.asz", std::string("ASzf\x02\0\0\0", 8) + RawMember("OPTIONS.DAT", "new") +
                                RawMember("a.png", noise.substr(0, 20 * 1024)) + "previewimg" +
                                std::string{static_cast<char>(size & 0xFF),
                                            static_cast<char>(size >> 8), '\0', '\0'} +
                                noise);
  auto result =
      Run({"unpack", "preview.asz", work.Folder() + "out", "--preview", disk.Folder() + "p.png"});
  EXPECT_EQ(result.exit_code, 1) << result.err;
  EXPECT_EQ(test::FileNames(disk.path()), std::vector<std::string>{"old"});
  EXPECT_EQ(test::FileNames(work.path()), (std::vector<std::string>{"preview.asz", "three.asz"}));
  // With room for them, the same archives unpack.
  result =
      Run({"unpack", "preview.asz", work.Folder() + "out", "--preview", work.Folder() + "p.png"});
  EXPECT_EQ(result.exit_code, 0) << result.err;
  EXPECT_EQ(test::FileNames(work.path() / "out"),
            (std::vector<std::string>{"OPTIONS.DAT", "a.png"}));
}

TEST_F(SkinToolTest, ExplainsItsUsage) {
  const std::vector<std::string> bad[] = {
      {},
      {"frobnicate"},
      {"list"},
      {"list", "a.asz", "b.asz"},
      {"list", "a.asz", "--preview", "p.png"},
      {"pack", "dir"},
      {"pack", "dir", "a.asz", "--preview"},
      {"unpack", "a.asz", "dir", "--verbose"},
      {"preview"},
      {"preview", "a.asz", "b.asz"},
      {"preview", "a.asz", "--dpi", "12"},
      {"preview", "a.asz", "--shot"},
      {"preview", "a.asz", "--rtl", "--rtl"},
      {"preview", "a.asz", "--hue", "400"},
  };
  for (const auto& arguments : bad) {
    SCOPED_TRACE(arguments.empty() ? "(none)" : arguments[0]);
    const auto result = Run(arguments);
    EXPECT_EQ(result.exit_code, 2);
    EXPECT_NE(result.err.find("Usage: kestrune-skin list ARCHIVE"), std::string::npos);
  }
  const auto help = Run({"--help"});
  EXPECT_EQ(help.exit_code, 0);
  EXPECT_EQ(help.out.substr(0, 33), "Usage: kestrune-skin list ARCHIVE");
}

// Hostile skins made from the built-in one: check names each problem and exits 1, and paint
// draws every section of each at two densities without a fault (under the sanitizers of the asan
// build, a fault ends the tool).
TEST_F(SkinToolTest, HostileSkinsAreNamedByCheckAndPaintWithoutAFault) {
  const struct {
    const char* name;
    std::string_view from, to;
    std::optional<skin::Bytes> master;
    std::vector<std::string> named;
  } cases[] = {
      {"huge border width",
       "BORDERWIDTH=1\nBORDERRADIUS=5",
       "BORDERWIDTH=2147483647\nBORDERRADIUS=5",
       {},
       {"FORM BORDERWIDTH: 2147483647 lies outside 0 to 255; it is read as 255"}},
      {"most negative states",
       "[FORM]\nSTATES=2",
       "[FORM]\nSTATES=-2147483648",
       {},
       {"FORM STATES: -2147483648 lies outside 0 to 255; it is read as 0"}},
      {"huge radius",
       "BORDERWIDTH=1\nBORDERRADIUS=5",
       "BORDERWIDTH=1\nBORDERRADIUS=100000",
       {},
       {"FORM BORDERRADIUS: 100000 lies outside 0 to 255; it is read as 255"}},
      {"huge blur",
       "OUTBLUR=4",
       "OUTBLUR=100000",
       {},
       {"BUTTON OUTBLUR: 100000 lies outside 0 to 30; it is read as 30"}},
      {"huge glow",
       "GLOWMARGIN=1",
       "GLOWMARGIN=100000\nGSIZE=100000",
       {},
       {"EDIT GLOWMARGIN: 100000 lies outside 0 to 255; it is read as 255",
        "EDIT GSIZE: 100000 lies outside 0 to 255; it is read as 255"}},
      {"title glyphs far outside the master image",
       "BICONCLOSE=@0000@0000@0135@0020@3@0\nBICONMIN=@0135@0000@0270@0020@3@0",
       "BICONCLOSE=@0000@0000@9999@0020@3@0\nBICONMIN=@5000@5000@5135@5020@3@0",
       {},
       {"GLOBALINFO BICONCLOSE: \"@0000@0000@9999@0020@3@0\" reaches outside the master image "
        "(373 x 455)",
        "96 ppi: the skin has no close glyph that shows (BICONCLOSE); the title bar draws a "
        "built-in one",
        "96 ppi: the skin has no minimise glyph that shows (BICONMIN); the title bar draws a "
        "built-in one"}},
      {"a 1 x 1 master image",
       "",
       "",
       test::OnePixelPng(),
       {"GLOBALINFO BICONCLOSE: \"@0000@0000@0135@0020@3@0\" reaches outside the master image "
        "(1 x 1)",
        "96 ppi: the skin has no close glyph that shows (BICONCLOSE); the title bar draws a "
        "built-in one",
        "192 ppi: the skin has no minimise glyph that shows (BICONMIN); the title bar draws a "
        "built-in one"}},
      {"a missing master image",
       "MASTERBITMAP=MASTER COPY.PNG",
       "MASTERBITMAP=NONE.PNG",
       {},
       {"GLOBALINFO MASTERBITMAP: names \"NONE.PNG\", which the archive lacks",
        "144 ppi: the skin has no close glyph that shows (BICONCLOSE); the title bar draws a "
        "built-in one"}},
      {"a PARENTCLASS loop",
       "[DIVIDERV]\nPARENTCLASS=DIVIDER",
       "[DIVIDERV]\nPARENTCLASS=DIVIDER\n[LOOPA]\nPARENTCLASS=LOOPB\n[LOOPB]\nPARENTCLASS=LOOPA",
       {},
       {"LOOPA PARENTCLASS: loops back to itself through LOOPB"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const skin::Bytes archive = test::BuiltinSkinWith(c.from, c.to, c.master);
    work.Write("hostile.asz", std::string(archive.begin(), archive.end()));
    const auto check = Run({"check", "hostile.asz"});
    EXPECT_EQ(check.exit_code, 1) << check.err;
    for (const std::string& line : c.named)
      EXPECT_NE(check.out.find(line + "\n"), std::string::npos) << line << "\nin:\n" << check.out;
    for (const char* dpi : {"96", "144"}) {
      const auto paint = Run({"paint", "hostile.asz", "sheet.png", "--dpi", dpi});
      EXPECT_EQ(paint.exit_code, 0) << dpi << ": " << paint.err;
      EXPECT_EQ(paint.err, "") << dpi;
    }
  }
}

TEST(SkinTool, TellsPlainFileNames) {
  for (const char* name : {"OPTIONS.DAT", "MASTER COPY.PNG", "a..b", ".hidden", "\xC3\x9C.png"})
    EXPECT_TRUE(skin_tool::IsPlainFileName(name)) << name;
  for (const char* name : {"", ".", "..", "../x", "a/b", "a\\b", "C:x", "x\ty", "a?", "a|b"})
    EXPECT_FALSE(skin_tool::IsPlainFileName(name)) << name;
}

}  // namespace
}  // namespace kestrune
