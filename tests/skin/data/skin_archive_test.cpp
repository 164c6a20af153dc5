#include "skin/data/skin_archive.h"

#include <gtest/gtest.h>

#include <functional>

#include "platform/error.h"
#include "platform/file_bytes.h"
#include "skin/data/skin_archive_writer.h"
#include "tests/skin/data/archive_builder.h"
#include "tests/support/temp_dir.h"

namespace kestrune::skin {
namespace {

using test::ArchiveBuilder;
using test::NoiseBytes;
using test::ToBytes;

// Reads `archive` into a fresh convertor, collecting the texts the reader shows.
struct ReadResult {
  bool ok = false;
  TacSkinConvertor convertor;
  std::vector<std::string> shown;
};

ReadResult Read(const Bytes& archive) {
  ReadResult result;
  result.convertor.PackedData = archive;
  result.ok = ExtractPackedData(
      result.convertor, [&result](const std::string& text) { result.shown.push_back(text); });
  result.convertor.PackedData = {};
  return result;
}

// The message of the Error that `action` throws, or "<no error>".
std::string ErrorOf(const std::function<void()>& action) {
  try {
    action();
  } catch (const Error& error) {
    return error.what();
  }
  return "<no error>";
}

TEST(SkinArchive, PacksAFolderAndReadsItBack) {
  kestrune::test::TempDir folder;
  const Bytes options = ToBytes("[GLOBAL]\r\nVERSION=16.13\r\n");
  const Bytes master = NoiseBytes(34960, 1);
  const Bytes glow = NoiseBytes(2867, 2);
  const Bytes preview = NoiseBytes(300, 3);
  folder.Write("MASTER COPY.PNG", std::string(master.begin(), master.end()));
  folder.Write("OPTIONS.DAT", std::string(options.begin(), options.end()));
  folder.Write("GLOWEDIT.PNG", std::string(glow.begin(), glow.end()));
  std::filesystem::create_directory(folder.path() / "sources");  // Subfolders are not packed.

  const Bytes archive = PackSkinFolder(folder.Folder(), preview);
  // The options file comes first, its data right after its name and size.
  ASSERT_GT(archive.size(), 27u);
  EXPECT_EQ(std::string(archive.begin() + 12, archive.begin() + 23), "OPTIONS.DAT");
  EXPECT_EQ(archive[27], 0x78) << "a zlib header";

  const ReadResult read = Read(archive);
  ASSERT_TRUE(read.ok);
  EXPECT_TRUE(read.shown.empty());
  ASSERT_TRUE(read.convertor.Options.has_value());
  EXPECT_EQ(*read.convertor.Options, options);
  EXPECT_EQ(read.convertor.FileCount, 2);
  ASSERT_EQ(read.convertor.Files.size(), 2u);
  EXPECT_EQ(read.convertor.Files[0].Name, "GLOWEDIT.PNG");
  EXPECT_EQ(read.convertor.Files[0].Stream, glow);
  EXPECT_EQ(read.convertor.Files[1].Name, "MASTER COPY.PNG");
  EXPECT_EQ(read.convertor.Files[1].FileType, TacFileType::ftOther);
  EXPECT_EQ(read.convertor.Files[1].Stream, master);

  Bytes found;
  ASSERT_TRUE(GetPreviewStream(found, archive));
  EXPECT_EQ(found, preview);
}

TEST(SkinArchive, ReadsMembersAcrossInputBlocks) {
  // Noise does not compress: the first stream runs 100,000 bytes into the second 65,536-byte
  // block, and the second member starts in the middle of it.
  const Bytes first = NoiseBytes(100000, 4);
  const Bytes second = NoiseBytes(70000, 5);
  const Bytes archive = ArchiveBuilder(3)
                            .Member("first.png", first)
                            .Member("second.png", second)
                            .Member("Options.dat", ToBytes("x"))
                            .bytes;
  const ReadResult read = Read(archive);
  ASSERT_TRUE(read.ok);
  ASSERT_EQ(read.convertor.Files.size(), 2u);
  EXPECT_EQ(read.convertor.Files[0].Stream, first);
  EXPECT_EQ(read.convertor.Files[1].Stream, second);
  EXPECT_EQ(read.convertor.Options, ToBytes("x"));
}

TEST(SkinArchive, ReadsEmptyMembersAndAnEmptyArchive) {
  for (const std::string_view empty :
       {std::string_view("ASzf\0\0\0\0", 8), std::string_view("ASzf")}) {
    const ReadResult read = Read(ToBytes(empty));
    EXPECT_TRUE(read.ok);
    EXPECT_FALSE(read.convertor.Options.has_value());
    EXPECT_TRUE(read.convertor.Files.empty());
    EXPECT_EQ(read.convertor.FileCount, 0);
  }
  const ReadResult read = Read(ArchiveBuilder(2).Member("OPTIONS.DAT", {}).Member("", {}).bytes);
  ASSERT_TRUE(read.ok);
  EXPECT_EQ(read.convertor.Options, Bytes{});
  ASSERT_EQ(read.convertor.Files.size(), 1u);
  EXPECT_EQ(read.convertor.Files[0].Name, "");
}

TEST(SkinArchive, TakesTheOptionsFileInAnyCaseAndTheLastOneWins) {
  const Bytes archive = ArchiveBuilder(3)
                            .Member("options.dat", ToBytes("first"))
                            .Member("a.bmp", ToBytes("picture"))
                            .Member("OPTIONS.DAT", ToBytes("second"))
                            .bytes;
  const ReadResult read = Read(archive);
  ASSERT_TRUE(read.ok);
  EXPECT_EQ(read.convertor.Options, ToBytes("second"));
  ASSERT_EQ(read.convertor.Files.size(), 1u);
  EXPECT_EQ(read.convertor.FileCount, 1) << "the count of Files, not N - 1";
}

TEST(SkinArchive, TellsFileTypesByExtension) {
  const struct {
    const char* name;
    TacFileType type;
  } cases[] = {
      {"font.ttf", TacFileType::ftFont},   {"FONT.OTF", TacFileType::ftFont},
      {"Font.Otf", TacFileType::ftFont},   {"mask.bmp", TacFileType::ftBmp},
      {"MASK.BMP", TacFileType::ftBmp},    {"master.png", TacFileType::ftOther},
      {"photo.jpg", TacFileType::ftOther}, {"bmp", TacFileType::ftOther},
      {"a.bmp.png", TacFileType::ftOther}, {"noextension", TacFileType::ftOther},
  };
  for (const auto& [name, type] : cases) {
    SCOPED_TRACE(name);
    EXPECT_EQ(FileTypeOf(name), type);
  }
  for (const char* name : {"OPTIONS.DAT", "options.dat", "Options.Dat", "oPTIONS.dAT"})
    EXPECT_TRUE(IsOptionsFileName(name)) << name;
  for (const char* name : {"OPTIONS.DA", "OPTIONS.DAT ", "OPTIONS_DAT", "XOPTIONS.DAT"})
    EXPECT_FALSE(IsOptionsFileName(name)) << name;
}

TEST(SkinArchive, NamesAreWindows1252) {
  const std::string name =
      "\xC3\x9C"
      "ber \xE2\x82\xAC.png";  // "Über €.png"
  const std::string ansi = Utf8ToAnsi(name);
  EXPECT_EQ(ansi,
            "\xDC"
            "ber \x80.png");
  EXPECT_EQ(AnsiToUtf8(ansi), name);
  const ReadResult read = Read(PackSkinArchive({{PackedMember{name, ToBytes("p")}}}, {}));
  ASSERT_EQ(read.convertor.Files.size(), 1u);
  EXPECT_EQ(read.convertor.Files[0].Name, name);
  EXPECT_NE(ErrorOf([] { (void)Utf8ToAnsi("\xE6\x97\xA5.png"); }), "<no error>")
      << "a character outside Windows-1252";
}

// The text whose Adler-32 checksum is the printable bytes "prev": the preview marker then follows
// a stream trailer that looks like the start of the marker itself.
constexpr std::string_view kPrevChecksumText =
    "dbvpzcrxsjhwvujxvzvjn p vpulpqwsnhfreolt madciczlcls wqxdwvsnxpgfejankmed xhrwatrfhxxsbhghx "
    "tbwfzxfmpvcfoayed nrslctoylhudzekzvnwzenbygomkmmrym cnrgphlojtbiybkqelnurdlhjxindcsfmvuzn "
    "wxphcfhreykdvpykhhyopgkgjqtzbtykhmowmoliszjaxt rre tdegufzqzpe";

TEST(SkinArchive, FindsThePreviewRightAfterAPrintableChecksum) {
  const Bytes member = ToBytes(kPrevChecksumText);
  const Bytes picture = ToBytes("\x89PNG picture");
  const Bytes archive = ArchiveBuilder(1).Member("MASTER COPY.PNG", member).Preview(picture).bytes;
  const std::size_t marker = archive.size() - picture.size() - 4 - 10;
  ASSERT_EQ(std::string(archive.begin() + static_cast<std::ptrdiff_t>(marker) - 4,
                        archive.begin() + static_cast<std::ptrdiff_t>(marker)),
            "prev");

  EXPECT_EQ(FindPreviewMarker(archive), marker);
  Bytes found;
  ASSERT_TRUE(GetPreviewStream(found, archive));
  EXPECT_EQ(found, picture);
  const ReadResult read = Read(archive);
  ASSERT_EQ(read.convertor.Files.size(), 1u);
  EXPECT_EQ(read.convertor.Files[0].Stream, member);
}

TEST(SkinArchive, SearchesForTheMarker) {
  const struct {
    std::string_view text;
    std::optional<std::size_t> at;
  } cases[] = {
      {"previewimg", 0},
      {"xpreviewimg", 1},
      {"previewimpreviewimg", 9},
      {"ppreviewimgpreviewimg", 1},
      {"gggggggggggpreviewimg", 11},
      {"previewigm previewim", std::nullopt},
      {"reviewimg", std::nullopt},
      {"", std::nullopt},
  };
  for (const auto& [text, at] : cases) {
    SCOPED_TRACE(text);
    EXPECT_EQ(FindPreviewMarker(ToBytes(text)), at);
  }
}

TEST(SkinArchive, WithoutAPreviewLeavesTheTargetUntouched) {
  const Bytes archive = ArchiveBuilder(1).Member("OPTIONS.DAT", ToBytes("o")).bytes;
  Bytes target = ToBytes("kept");
  EXPECT_FALSE(GetPreviewStream(target, archive));
  EXPECT_EQ(target, ToBytes("kept"));
  kestrune::test::TempDir folder;
  EXPECT_FALSE(GetPreviewStream(target, folder.Folder() + "missing.asz"));
  EXPECT_EQ(target, ToBytes("kept"));
}

TEST(SkinArchive, RefusesDataWithoutTheSignature) {
  for (const std::string_view data : {"", "ASz", "ASZF\0\0\0\0", "PK\x03\x04"}) {
    const ReadResult read = Read(ToBytes(data));
    EXPECT_FALSE(read.ok);
    EXPECT_EQ(read.shown, std::vector<std::string>{"Loaded data is not a packed Quorvel file"});
    EXPECT_FALSE(read.convertor.Options.has_value());
    EXPECT_TRUE(read.convertor.Files.empty());
  }
}

Bytes WithU32At(Bytes bytes, std::size_t at, std::uint32_t value) {
  for (int i = 0; i < 4; ++i)
    bytes[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(value >> (8 * i));
  return bytes;
}

TEST(SkinArchive, ReportsDamagedArchives) {
  const Bytes good = ArchiveBuilder(2)
                         .Member("OPTIONS.DAT", ToBytes("[GLOBAL]"))
                         .Member("a.png", NoiseBytes(1000, 6))
                         .bytes;
  const std::size_t second = 8 + 4 + 11 + 4 + test::ZlibOf(ToBytes("[GLOBAL]")).size();
  Bytes bad_stream = good;
  bad_stream[second + 4 + 5 + 4 + 20] ^= 0xFF;  // inside the stored block of the noise
  Bytes bad_checksum = good;
  bad_checksum.back() ^= 0x01;
  Bytes bad_header = good;
  bad_header[27] = 0x77;

  const struct {
    const char* what;
    Bytes archive;
    const char* message;
  } cases[] = {
      {"cut in the last member", Bytes(good.begin(), good.end() - 3),
       "The skin archive member \"a.png\" is cut short."},
      {"cut before a name",
       Bytes(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(second) + 2),
       "The skin archive is damaged: member 2 runs past the end of the data."},
      {"cut after a name",
       Bytes(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(second) + 4 + 5),
       "The skin archive is damaged: the name of member 2 (5 bytes) runs past the end of the "
       "data."},
      {"damaged stored block", bad_stream, "The skin archive member \"a.png\" is damaged: "},
      {"damaged checksum", bad_checksum,
       "The skin archive member \"a.png\" is damaged: incorrect data check."},
      {"damaged zlib header", bad_header, "The skin archive member \"OPTIONS.DAT\" is damaged: "},
      {"size too large", WithU32At(good, 23, 9),
       "The skin archive member \"OPTIONS.DAT\" unpacks to 8 bytes instead of its declared 9."},
      {"size one too small", WithU32At(good, 23, 7),
       "The skin archive member \"OPTIONS.DAT\" unpacks to 8 bytes instead of its declared 7."},
      {"size far too small", WithU32At(good, second + 4 + 5, 10),
       "The skin archive member \"a.png\" unpacks to more than its declared 10 bytes."},
      {"size past the limit", WithU32At(good, 23, 0xFFFFFFFF),
       "The skin archive member \"OPTIONS.DAT\" declares 4294967295 bytes: the archive would "
       "unpack to more than 268435456 bytes."},
      {"huge name length", WithU32At(good, 8, 0xFFFFFFF0),
       "The skin archive is damaged: the name of member 1 (4294967280 bytes) runs past the end "
       "of the data."},
      {"huge member count", WithU32At(good, 4, 0xFFFFFFFF),
       "The skin archive is damaged: its member count 4294967295 runs past the end of the data."},
      {"one member too many", WithU32At(good, 4, 3),
       "The skin archive is damaged: member 3 runs past the end of the data."},
      {"count without members", ToBytes(std::string_view("ASzf\x01", 5)),
       "The skin archive is damaged: its member count 1 runs past the end of the data."},
  };
  for (const auto& [what, archive, message] : cases) {
    SCOPED_TRACE(what);
    TacSkinConvertor convertor;
    convertor.PackedData = archive;
    const std::string error = ErrorOf([&] { (void)ExtractPackedData(convertor, {}); });
    EXPECT_EQ(error.substr(0, std::string_view(message).size()), message) << error;
  }
}

TEST(SkinArchive, BoundsTheTotalUnpackedSize) {
  const Bytes archive = ArchiveBuilder(2)
                            .Member("a.png", NoiseBytes(600, 7))
                            .Member("b.png", NoiseBytes(600, 8))
                            .bytes;
  std::vector<std::string> names;
  const auto collect = [&names](PackedMember member) { names.push_back(member.name); };
  EXPECT_EQ(ErrorOf([&] { (void)ReadPackedMembers(archive, collect, 1000); }),
            "The skin archive member \"b.png\" declares 600 bytes: the archive would unpack to "
            "more than 1000 bytes.");
  EXPECT_EQ(names, std::vector<std::string>{"a.png"});
  EXPECT_EQ(ReadPackedMembers(archive, collect, 1200), archive.size());
}

TEST(SkinArchive, KeepsMembersReadBeforeAFault) {
  Bytes archive = ArchiveBuilder(3)
                      .Member("OPTIONS.DAT", ToBytes("o"))
                      .Member("a.png", ToBytes("a"))
                      .Member("b.png", ToBytes("b"))
                      .bytes;
  archive.resize(archive.size() - 2);
  TacSkinConvertor convertor;
  convertor.PackedData = archive;
  EXPECT_NE(ErrorOf([&] { (void)ExtractPackedData(convertor, {}); }), "<no error>");
  EXPECT_EQ(convertor.Options, ToBytes("o"));
  ASSERT_EQ(convertor.Files.size(), 1u);
  EXPECT_EQ(convertor.FileCount, 1);
  convertor.Clear();
  EXPECT_FALSE(convertor.Options.has_value());
  EXPECT_TRUE(convertor.Files.empty());
}

TEST(SkinArchive, LoadsSkinFiles) {
  kestrune::test::TempDir folder;
  const Bytes archive = ArchiveBuilder(2)
                            .Member("OPTIONS.DAT", ToBytes("o"))
                            .Member("font.ttf", ToBytes("f"))
                            .Preview(ToBytes("pic"))
                            .bytes;
  const std::string path = folder.Write("dark.asz", std::string(archive.begin(), archive.end()));
  TacSkinConvertor convertor;
  convertor.Files.push_back(TacFileItem{"old.png", TacFileType::ftOther, ToBytes("old")});

  LoadSkinFromFile(folder.Folder() + "missing.asz", convertor, {});
  EXPECT_EQ(convertor.Files.size(), 1u) << "a missing file changes nothing";

  LoadSkinFromFile(path, convertor, {});
  EXPECT_EQ(convertor.Options, ToBytes("o"));
  ASSERT_EQ(convertor.Files.size(), 1u);
  EXPECT_EQ(convertor.Files[0].Name, "font.ttf");
  EXPECT_EQ(convertor.Files[0].FileType, TacFileType::ftFont);
  EXPECT_TRUE(convertor.PackedData.empty());
  Bytes preview;
  ASSERT_TRUE(GetPreviewStream(preview, path));
  EXPECT_EQ(preview, ToBytes("pic"));

  const std::string text = folder.Write("text.asz", "not an archive");
  std::vector<std::string> shown;
  LoadSkinFromFile(text, convertor, [&shown](const std::string& t) { shown.push_back(t); });
  EXPECT_FALSE(convertor.Options.has_value());
  EXPECT_TRUE(convertor.Files.empty());
  EXPECT_EQ(shown.size(), 1u);
}

TEST(SkinArchive, RefusesAPreviewThatRunsPastTheEnd) {
  Bytes archive = ArchiveBuilder(0).Preview(ToBytes("picture")).bytes;
  archive.pop_back();
  Bytes target;
  EXPECT_EQ(ErrorOf([&] { (void)GetPreviewStream(target, archive); }),
            "The skin archive is damaged: the preview's length 7 runs past the end of the data.");
  EXPECT_EQ(ErrorOf([&] { (void)GetPreviewStream(target, ToBytes("previewimg\x01")); }),
            "The skin archive is damaged: the preview block is cut short.");
  EXPECT_TRUE(target.empty());
}

}  // namespace
}  // namespace kestrune::skin
