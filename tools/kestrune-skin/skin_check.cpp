#include "tools/kestrune-skin/skin_check.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <map>
#include <optional>
#include <string_view>

#include "platform/ascii_text.h"
#include "platform/error.h"
#include "skin/data/image_entry.h"
#include "skin/data/ini_store.h"
#include "skin/data/option_readers.h"
#include "skin/data/skin_options.h"
#include "skin/data/skin_records.h"

namespace kestrune::skin_tool {
namespace {

using skin::Bytes;

struct Size {
  long width = 0;
  long height = 0;
};

std::uint32_t Read32(const Bytes& data, std::size_t at, bool big_endian) {
  std::uint32_t value = 0;
  for (std::size_t i = 0; i < 4; ++i) {
    const std::size_t byte = big_endian ? at + i : at + 3 - i;
    value = value << 8 | data[byte];
  }
  return value;
}

// The size from a PNG header or a BMP info header; none for anything else.
std::optional<Size> PictureSize(const Bytes& data) {
  if (data.size() >= 24 && data[0] == 0x89 && data[1] == 'P' && data[2] == 'N' && data[3] == 'G')
    return Size{static_cast<long>(Read32(data, 16, true)),
                static_cast<long>(Read32(data, 20, true))};
  if (data.size() >= 26 && data[0] == 'B' && data[1] == 'M') {
    // Height is negative for top-down bitmaps.
    const auto height = static_cast<std::int32_t>(Read32(data, 22, false));
    return Size{static_cast<long>(static_cast<std::int32_t>(Read32(data, 18, false))),
                std::abs(static_cast<long>(height))};
  }
  return std::nullopt;
}

class Checker {
 public:
  explicit Checker(const Bytes& archive) {
    skin::ReadPackedMembers(archive, [this](skin::PackedMember member) {
      if (skin::IsOptionsFileName(member.name))
        options_ = std::move(member.bytes);
      else
        members_[Upper(member.name)] = std::move(member.bytes);
    });
  }

  std::vector<std::string> Run() {
    if (!options_) {
      problems_.push_back("The archive has no options file (OPTIONS.DAT).");
      return problems_;
    }
    const skin::IniStore ini(
        std::string_view(reinterpret_cast<const char*>(options_->data()), options_->size()));
    FindMaster(ini);
    for (const auto& section : ini.Sections()) {
      bool master_seen = false;
      for (const auto& [key, value] : section.Keys) {
        if (key == "PARENTCLASS") {
          CheckParent(ini, section.Name, value);
          continue;
        }
        CheckNumber(section.Name, key, value);
        // The loader reads the first MASTERBITMAP of GLOBALINFO as a file name, not an entry.
        if (section.Name == "GLOBALINFO" && key == "MASTERBITMAP" && !master_seen) {
          master_seen = true;
          continue;
        }
        const std::string upper = Upper(value);
        if (!upper.empty() && skin::IsImageEntry(upper))
          CheckEntry(section.Name, key, upper);
      }
    }
    FindParentLoops(ini);
    return problems_;
  }

 private:
  void Report(std::string_view section, std::string_view key, const std::string& text) {
    problems_.push_back(std::string(section) + " " + std::string(key) + ": " + text);
  }

  void FindMaster(const skin::IniStore& ini) {
    const std::string* name = ini.Find("GLOBALINFO", "MASTERBITMAP");
    if (name == nullptr || name->empty())
      return;
    const auto member = members_.find(Upper(*name));
    if (member == members_.end()) {
      Report("GLOBALINFO", "MASTERBITMAP", "names \"" + *name + "\", which the archive lacks");
      return;
    }
    master_ = PictureSize(member->second);
    if (!master_)
      Report("GLOBALINFO", "MASTERBITMAP", "\"" + *name + "\" is neither a PNG nor a BMP picture");
  }

  void CheckParent(const skin::IniStore& ini, const std::string& section,
                   const std::string& parent) {
    if (parent.empty() || parent == "?" || parent == "-1" || ini.SectionExists(parent))
      return;
    Report(section, "PARENTCLASS", "names \"" + parent + "\", which is no section");
  }

  // A number outside the range the loader brings it into: the skin does not paint what its
  // author wrote.
  void CheckNumber(const std::string& section, const std::string& key, const std::string& value) {
    std::string_view base = key;
    for (const std::string_view suffix : {"*125", "*150", "*200"}) {
      if (base.ends_with(suffix))
        base.remove_suffix(suffix.size());
    }
    const std::optional<skin::TsRange> range = skin::NumberRange(section, base);
    if (!range)
      return;
    const std::optional<std::int64_t> number = skin::ParseInteger64(value);
    if (!number) {
      Report(section, key, "\"" + value + "\" is no number; the default is used");
    } else if (!range->Holds(*number)) {
      const int used = *number < range->Min ? range->Min : range->Max;
      Report(section, key,
             value + " lies outside " + std::to_string(range->Min) + " to " +
                 std::to_string(range->Max) + "; it is read as " + std::to_string(used));
    }
  }

  // PARENTCLASS chains that come back to where they started through other sections; the loader
  // ends them, but the skin cannot mean them. Each loop is named once, at its first section.
  void FindParentLoops(const skin::IniStore& ini) {
    const auto& sections = ini.Sections();
    const std::size_t n = sections.size();
    std::vector<int> parent(n, -1);
    for (std::size_t i = 0; i < n; ++i) {
      const std::string* name = ini.Find(static_cast<int>(i), "PARENTCLASS");
      const int index = name != nullptr && !name->empty() ? ini.SectionIndex(*name) : -1;
      // A section naming itself reads its own keys only; that is no loop.
      parent[i] = index == static_cast<int>(i) ? -1 : index;
    }
    // Each walk marks the sections it passes with its start; meeting its own mark again closes
    // a loop, meeting another walk's mark joins a path already looked at. Linear in the sections.
    std::vector<int> walk(n, -1);
    std::vector<std::vector<int>> loops;
    for (std::size_t start = 0; start < n; ++start) {
      int at = static_cast<int>(start);
      while (at >= 0 && walk[static_cast<std::size_t>(at)] < 0) {
        walk[static_cast<std::size_t>(at)] = static_cast<int>(start);
        at = parent[static_cast<std::size_t>(at)];
      }
      if (at < 0 || walk[static_cast<std::size_t>(at)] != static_cast<int>(start))
        continue;
      std::vector<int> loop{at};
      for (int next = parent[static_cast<std::size_t>(at)]; next != at;
           next = parent[static_cast<std::size_t>(next)])
        loop.push_back(next);
      // Named at its first section in file order, the others in the order the chain takes.
      std::rotate(loop.begin(), std::min_element(loop.begin(), loop.end()), loop.end());
      loops.push_back(std::move(loop));
    }
    std::sort(loops.begin(), loops.end());
    for (const std::vector<int>& loop : loops) {
      std::string through;
      for (std::size_t k = 1; k < loop.size() && k <= 5; ++k)
        through += (k > 1 ? ", " : "") + sections[static_cast<std::size_t>(loop[k])].Name;
      if (loop.size() > 6)
        through += " and " + std::to_string(loop.size() - 6) + " more";
      Report(sections[static_cast<std::size_t>(loop.front())].Name, "PARENTCLASS",
             "loops back to itself through " + through);
    }
  }

  void CheckEntry(const std::string& section, const std::string& key, const std::string& entry) {
    skin::TsMaskData mask;
    try {
      skin::ReadCanonicalEntry(skin::CanonicalImageEntry(entry), mask);
    } catch (const Error& error) {
      Report(section, key, "\"" + entry + "\" cannot be read: " + error.what());
      return;
    }
    if (!mask.FileName.empty()) {
      if (!members_.contains(mask.FileName))
        Report(section, key,
               "names the picture \"" + mask.FileName + "\", which the archive lacks");
      return;
    }
    const skin::TRect& r = mask.R;
    if (r.Right <= r.Left || r.Bottom <= r.Top) {
      Report(section, key, "\"" + entry + "\" has an empty rectangle");
    } else if (master_ && (r.Right > master_->width || r.Bottom > master_->height)) {
      Report(section, key,
             "\"" + entry + "\" reaches outside the master image (" +
                 std::to_string(master_->width) + " x " + std::to_string(master_->height) + ")");
    } else if (!master_) {
      Report(section, key, "\"" + entry + "\" needs a master image, and there is none");
    }
  }

  std::optional<Bytes> options_;
  std::map<std::string, Bytes> members_;  // By upper-case name.
  std::optional<Size> master_;
  std::vector<std::string> problems_;
};

}  // namespace

std::vector<std::string> CheckSkinArchive(const Bytes& archive) {
  if (!skin::HasArchiveSignature(archive))
    throw Error(std::string(skin::kNotPackedText));
  return Checker(archive).Run();
}

}  // namespace kestrune::skin_tool
