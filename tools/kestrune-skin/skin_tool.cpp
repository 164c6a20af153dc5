#include "tools/kestrune-skin/skin_tool.h"

#include <algorithm>
#include <filesystem>
#include <map>
#include <optional>
#include <stdexcept>
#include <string_view>

#include "platform/ascii_text.h"
#include "platform/error.h"
#include "platform/file_bytes.h"
#include "skin/data/skin_archive.h"
#include "skin/data/skin_archive_writer.h"
#include "tools/kestrune-skin/skin_check.h"
#include "tools/kestrune-skin/skin_density_report.h"
#include "tools/kestrune-skin/skin_paint_sheet.h"
#include "tools/kestrune-skin/skin_preview.h"
#include "tools/kestrune-skin/skin_sheet.h"

namespace kestrune::skin_tool {
namespace {

using skin::Bytes;

constexpr std::string_view kUsage =
    "Usage: kestrune-skin list ARCHIVE\n"
    "       kestrune-skin pack DIR ARCHIVE [--preview PNG]\n"
    "       kestrune-skin unpack ARCHIVE DIR [--preview PNG]\n"
    "       kestrune-skin check ARCHIVE\n"
    "       kestrune-skin sheet ARCHIVE OUT.PNG [--dpi N] [--hue N] [--saturation N]\n"
    "                          [--brightness N]\n"
    "       kestrune-skin paint ARCHIVE OUT.PNG [--dpi N]\n"
    "       kestrune-skin preview ARCHIVE [--dpi N] [--rtl] [--hue N] [--saturation N]\n"
    "                            [--brightness N] [--shot OUT.PNG]\n"
    "\n"
    "  list     prints one line per member in archive order: its name, a tab, its kind\n"
    "           (options, bmp, font or other), a tab and its unpacked size in bytes; then\n"
    "           \"preview\", a tab and the preview's size when the archive has one\n"
    "  pack     packs the options file (OPTIONS.DAT in any case) and every other regular file\n"
    "           directly in DIR into ARCHIVE, with PNG as its preview picture when given; links,\n"
    "           folders and other entries are not packed and are named on standard error\n"
    "  unpack   writes every member of ARCHIVE into DIR (made when missing), and the preview\n"
    "           picture to PNG when given; refuses, writing nothing, when a target is a symbolic\n"
    "           link or two members have the same name in any case; a failed write (a full\n"
    "           disk) leaves DIR and PNG as they were\n"
    "  check    prints one line per problem of the options file: image entries that cannot be\n"
    "           read, name a missing picture or lie outside the master image, and PARENTCLASS\n"
    "           values naming no section; then the skin as the program loads it at 96, 120,\n"
    "           144 and 192 pixels per inch: sections, image entries and the main metrics\n"
    "  sheet    draws every image entry of the skin as the program loads it at N pixels per\n"
    "           inch (96 when not given, 48 to 480) into OUT.PNG, each labelled with its\n"
    "           section and key, the densities it was drawn for and is used at, its frame size\n"
    "           and frame count; --hue (degrees, -360 to 360), --saturation and --brightness\n"
    "           (-100 to 100) load the skin with that colour adjustment; a sheet larger than\n"
    "           16,777,216 pixels is refused\n"
    "  paint    paints every section of the skin in each of its states, as controls paint\n"
    "           them at N pixels per inch, over the skin's FORM colour into OUT.PNG\n"
    "  preview  opens one window, \"Skin preview - \" and the skin's name, skinned by ARCHIVE\n"
    "           as the program skins its window, with a menu and every kind of control;\n"
    "           --dpi N refuses a display of another density, --rtl lays it out right to\n"
    "           left, --hue, --saturation and --brightness adjust the skin's colours as for\n"
    "           sheet, and --shot saves the window's picture to OUT.PNG once it has painted\n"
    "           and closes it. It needs Windows or Wine (kestrune-skin.exe)\n"
    "\n"
    "Exit status: 0 on success, 1 when the archive (or the folder to pack) is not valid, with\n"
    "the reason on standard error, or when check found a problem, 2 for bad usage.\n";

void Print(std::FILE* stream, std::string_view text) {
  std::fwrite(text.data(), 1, text.size(), stream);
}

class UsageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The positional arguments and the value of --preview, checking their number.
struct Words {
  std::vector<std::string> positional;
  std::optional<std::string> preview;
};

Words Parse(const std::vector<std::string>& arguments, std::size_t positional_count,
            bool allow_preview) {
  Words words;
  for (std::size_t i = 1; i < arguments.size(); ++i) {
    const std::string& word = arguments[i];
    if (allow_preview && word == "--preview") {
      if (i + 1 >= arguments.size() || arguments[i + 1].empty())
        throw UsageError("--preview needs a value");
      if (words.preview)
        throw UsageError("--preview is given twice");
      words.preview = arguments[++i];
    } else if (word.size() > 1 && word[0] == '-') {
      throw UsageError("unknown option \"" + word + "\"");
    } else {
      words.positional.push_back(word);
    }
  }
  if (words.positional.size() != positional_count) {
    throw UsageError(arguments[0] + " needs " + std::to_string(positional_count) +
                     (positional_count == 1 ? " argument" : " arguments"));
  }
  return words;
}

Bytes ReadArchive(const std::string& path) {
  Bytes archive = platform::ReadFileBytes(path, skin::kMaxUnpackedTotal);
  if (!skin::HasArchiveSignature(archive))
    throw Error(std::string(skin::kNotPackedText));
  return archive;
}

std::vector<skin::PackedMember> ReadMembers(const Bytes& archive) {
  std::vector<skin::PackedMember> members;
  skin::ReadPackedMembers(
      archive, [&members](skin::PackedMember member) { members.push_back(std::move(member)); });
  return members;
}

std::string_view KindOf(const std::string& name) {
  if (skin::IsOptionsFileName(name))
    return "options";
  switch (skin::FileTypeOf(name)) {
    case skin::TacFileType::ftBmp:
      return "bmp";
    case skin::TacFileType::ftFont:
      return "font";
    case skin::TacFileType::ftOther:
      break;
  }
  return "other";
}

int List(const std::vector<std::string>& arguments, std::FILE* out) {
  const Words words = Parse(arguments, 1, false);
  const Bytes archive = ReadArchive(words.positional[0]);
  const auto members = ReadMembers(archive);
  Bytes preview;
  const bool has_preview = skin::GetPreviewStream(preview, archive);
  std::string text;
  for (const auto& member : members) {
    text += member.name + "\t" + std::string(KindOf(member.name)) + "\t" +
            std::to_string(member.bytes.size()) + "\n";
  }
  if (has_preview)
    text += "preview\t" + std::to_string(preview.size()) + "\n";
  Print(out, text);
  return kExitOk;
}

int Pack(const std::vector<std::string>& arguments, std::FILE* err) {
  const Words words = Parse(arguments, 2, true);
  std::optional<Bytes> preview;
  if (words.preview)
    preview = platform::ReadFileBytes(*words.preview, skin::kMaxUnpackedTotal);
  std::vector<std::string> skipped;
  const Bytes archive = skin::PackSkinFolder(words.positional[0], preview, &skipped);
  for (const std::string& entry : skipped)
    Print(err, "kestrune-skin: not packed: " + entry + "\n");
  platform::WriteFileBytes(words.positional[1], archive);
  return kExitOk;
}

// Member names are taken without regard to case, by the program and by the file systems it runs
// on, so two of them differing only in case would overwrite each other.
void RefuseDuplicateMembers(const std::vector<skin::PackedMember>& members) {
  std::map<std::string, const std::string*> seen;
  for (const auto& member : members) {
    const auto [it, added] = seen.emplace(kestrune::Upper(member.name), &member.name);
    if (!added) {
      throw Error("The skin archive holds two members named \"" + *it->second + "\"" +
                  (*it->second == member.name ? "" : " and \"" + member.name + "\"") +
                  "; nothing was unpacked.");
    }
  }
}

// Makes a folder and the folders missing on its way; unless kept, removes again those it made.
class MadeFolder {
 public:
  explicit MadeFolder(const std::string& folder) {
    namespace fs = std::filesystem;
    std::error_code error;
    for (fs::path path = platform::Utf8Path(folder); !path.empty() && !fs::exists(path, error);
         path = path.parent_path()) {
      made_.push_back(path);
      if (path.parent_path() == path)
        break;
    }
    fs::create_directories(platform::Utf8Path(folder), error);
    if (error) {
      RemoveMade();
      throw Error("Cannot make the folder \"" + folder + "\". " + error.message());
    }
  }
  MadeFolder(const MadeFolder&) = delete;
  MadeFolder& operator=(const MadeFolder&) = delete;
  ~MadeFolder() {
    if (!kept_)
      RemoveMade();
  }
  void Keep() { kept_ = true; }

 private:
  // Deepest first; a folder that is not empty stays.
  void RemoveMade() const {
    for (const auto& path : made_) {
      std::error_code ignored;
      std::filesystem::remove(path, ignored);
    }
  }

  std::vector<std::filesystem::path> made_;
  bool kept_ = false;
};

int Unpack(const std::vector<std::string>& arguments) {
  const Words words = Parse(arguments, 2, true);
  // The whole archive is read and checked before anything is written.
  const Bytes archive = ReadArchive(words.positional[0]);
  const auto members = ReadMembers(archive);
  for (const auto& member : members) {
    if (!IsPlainFileName(member.name)) {
      throw Error("The skin archive member \"" + member.name +
                  "\" is not a plain file name; nothing was unpacked.");
    }
  }
  RefuseDuplicateMembers(members);
  Bytes preview;
  const bool has_preview = words.preview && skin::GetPreviewStream(preview, archive);
  if (words.preview && !has_preview)
    throw Error("The skin archive has no preview picture; nothing was unpacked.");

  const std::string& folder = words.positional[1];
  const auto target = [&folder](const std::string& name) {
    return platform::PathText(platform::Utf8Path(folder) / platform::Utf8Path(name));
  };
  try {
    for (const auto& member : members)
      platform::CheckWritableTarget(target(member.name));
    if (has_preview)
      platform::CheckWritableTarget(*words.preview);
  } catch (const Error& error) {
    throw Error(std::string(error.what()) + " Nothing was unpacked.");
  }
  std::vector<platform::FileToWrite> files;
  for (const auto& member : members)
    files.push_back({target(member.name), member.bytes});
  if (has_preview)
    files.push_back({*words.preview, preview});
  MadeFolder made(folder);
  // The members take their names only once all are written whole, by renames, which never follow
  // a link; a failure (a full disk) leaves the folder as it was, and takes it away if it was made.
  try {
    platform::WriteFilesTogether(files);
  } catch (const Error& error) {
    throw Error(std::string(error.what()) + " Nothing was unpacked.");
  }
  made.Keep();
  return kExitOk;
}

int Check(const std::vector<std::string>& arguments, std::FILE* out) {
  const Words words = Parse(arguments, 1, false);
  const Bytes archive = ReadArchive(words.positional[0]);
  auto problems = CheckSkinArchive(archive);
  const DensityReport report = ReportDensities(archive);
  problems.insert(problems.end(), report.problems.begin(), report.problems.end());
  std::string text;
  for (const auto& problem : problems)
    text += problem + "\n";
  for (const auto& line : report.lines)
    text += line + "\n";
  Print(out, text);
  return problems.empty() ? kExitOk : kExitInvalid;
}

// Takes `option` and its whole-number value from `arguments`; `fallback` when it is not given.
int TakeNumber(std::vector<std::string>& arguments, std::string_view option, int low, int high,
               int fallback) {
  for (std::size_t i = 1; i < arguments.size(); ++i) {
    if (arguments[i] != option)
      continue;
    const std::string value = i + 1 < arguments.size() ? arguments[i + 1] : "";
    const std::string_view digits =
        std::string_view(value).substr(!value.empty() && value[0] == '-' ? 1 : 0);
    const bool number = !digits.empty() && digits.size() <= 4 &&
                        digits.find_first_not_of("0123456789") == std::string_view::npos;
    if (!number || std::stoi(value) < low || std::stoi(value) > high) {
      throw UsageError(std::string(option) + " needs a number from " + std::to_string(low) +
                       " to " + std::to_string(high));
    }
    arguments.erase(arguments.begin() + static_cast<std::ptrdiff_t>(i),
                    arguments.begin() + static_cast<std::ptrdiff_t>(i) + 2);
    if (std::find(arguments.begin() + 1, arguments.end(), option) != arguments.end())
      throw UsageError(std::string(option) + " is given twice");
    return std::stoi(value);
  }
  return fallback;
}

int Sheet(std::vector<std::string> arguments, std::FILE* out) {
  const int ppi = TakeNumber(arguments, "--dpi", 48, 480, 96);
  SheetAdjustment adjust;
  adjust.hue = TakeNumber(arguments, "--hue", -360, 360, 0);
  adjust.saturation = TakeNumber(arguments, "--saturation", -100, 100, 0);
  adjust.brightness = TakeNumber(arguments, "--brightness", -100, 100, 0);
  const Words words = Parse(arguments, 2, false);
  const ContactSheet sheet = MakeContactSheet(ReadArchive(words.positional[0]), ppi, adjust);
  platform::WriteFileBytes(words.positional[1], sheet.png);
  std::string text = std::to_string(sheet.entries) + " image entries at " + std::to_string(ppi) +
                     " pixels per inch\n";
  for (const auto& problem : sheet.problems)
    text += problem + "\n";
  Print(out, text);
  return sheet.problems.empty() ? kExitOk : kExitInvalid;
}

// Takes `option` from `arguments`; true when it was there.
bool TakeFlag(std::vector<std::string>& arguments, std::string_view option) {
  const auto found = std::find(arguments.begin() + 1, arguments.end(), option);
  if (found == arguments.end())
    return false;
  arguments.erase(found);
  if (std::find(arguments.begin() + 1, arguments.end(), option) != arguments.end())
    throw UsageError(std::string(option) + " is given twice");
  return true;
}

// Takes `option` and its value from `arguments`; nothing when it is not given.
std::optional<std::string> TakeText(std::vector<std::string>& arguments, std::string_view option) {
  const auto found = std::find(arguments.begin() + 1, arguments.end(), option);
  if (found == arguments.end())
    return std::nullopt;
  if (found + 1 == arguments.end() || found[1].empty())
    throw UsageError(std::string(option) + " needs a value");
  std::string value = found[1];
  arguments.erase(found, found + 2);
  if (std::find(arguments.begin() + 1, arguments.end(), option) != arguments.end())
    throw UsageError(std::string(option) + " is given twice");
  return value;
}

int Preview(std::vector<std::string> arguments, std::FILE* err) {
  PreviewOptions options;
  options.dpi = TakeNumber(arguments, "--dpi", 48, 480, 0);
  options.hue = TakeNumber(arguments, "--hue", -360, 360, 0);
  options.saturation = TakeNumber(arguments, "--saturation", -100, 100, 0);
  options.brightness = TakeNumber(arguments, "--brightness", -100, 100, 0);
  options.right_to_left = TakeFlag(arguments, "--rtl");
  options.shot = TakeText(arguments, "--shot");
  options.archive = Parse(arguments, 1, false).positional[0];
  if (!CanShowPreview())
    throw Error(
        "preview opens a window and needs Windows or Wine: run kestrune-skin.exe of the "
        "windows build");
  // The window loads the skin by name and would show a load's failure in a message box: a skin
  // that does not load is refused here, before any window opens.
  static_cast<void>(LoadedSkin(ReadArchive(options.archive), 96));
  return RunPreview(options, err);
}

int Paint(std::vector<std::string> arguments, std::FILE* out) {
  const int ppi = TakeNumber(arguments, "--dpi", 48, 480, 96);
  const Words words = Parse(arguments, 2, false);
  const PaintSheet sheet = MakePaintSheet(ReadArchive(words.positional[0]), ppi);
  platform::WriteFileBytes(words.positional[1], sheet.png);
  std::string text =
      std::to_string(sheet.sections) + " sections at " + std::to_string(ppi) + " pixels per inch\n";
  for (const auto& problem : sheet.problems)
    text += problem + "\n";
  Print(out, text);
  return sheet.problems.empty() ? kExitOk : kExitInvalid;
}

}  // namespace

bool IsPlainFileName(std::string_view name) {
  if (name.empty() || name == "." || name == "..")
    return false;
  for (const char c : name) {
    if (static_cast<unsigned char>(c) < 0x20 ||
        std::string_view("/\\:*?\"<>|").find(c) != std::string_view::npos) {
      return false;
    }
  }
  return true;
}

int RunSkinTool(const std::vector<std::string>& arguments, std::FILE* out, std::FILE* err) {
  const std::string command = arguments.empty() ? "" : arguments[0];
  if (command == "--help" || command == "-h") {
    Print(out, kUsage);
    return kExitOk;
  }
  try {
    if (command == "list")
      return List(arguments, out);
    if (command == "pack")
      return Pack(arguments, err);
    if (command == "unpack")
      return Unpack(arguments);
    if (command == "check")
      return Check(arguments, out);
    if (command == "sheet")
      return Sheet(arguments, out);
    if (command == "paint")
      return Paint(arguments, out);
    if (command == "preview")
      return Preview(arguments, err);
    throw UsageError(command.empty() ? "no command given" : "unknown command \"" + command + "\"");
  } catch (const UsageError& error) {
    Print(err, "kestrune-skin: " + std::string(error.what()) + "\n\n" + std::string(kUsage));
    return kExitUsage;
  } catch (const Error& error) {
    Print(err, "kestrune-skin: " + std::string(error.what()) + "\n");
    return kExitInvalid;
  }
}

}  // namespace kestrune::skin_tool
