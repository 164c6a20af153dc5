#include "skin/data/skin_archive_writer.h"

#include <zlib.h>

#include <algorithm>
#include <filesystem>
#include <limits>
#include <map>
#include <vector>

#include "platform/ascii_text.h"
#include "platform/error.h"
#include "platform/file_bytes.h"

namespace kestrune::skin {
namespace {

void AppendU32(Bytes& out, std::size_t value) {
  for (int shift = 0; shift < 32; shift += 8)
    out.push_back(static_cast<std::uint8_t>(value >> shift));
}

void AppendBytes(Bytes& out, std::span<const std::uint8_t> bytes) {
  out.insert(out.end(), bytes.begin(), bytes.end());
}

Bytes Compress(std::span<const std::uint8_t> bytes, const std::string& name) {
  uLongf size = compressBound(static_cast<uLong>(bytes.size()));
  Bytes out(size);
  if (compress2(out.data(), &size, bytes.data(), static_cast<uLong>(bytes.size()),
                Z_BEST_COMPRESSION) != Z_OK) {
    throw Error("Cannot compress \"" + name + "\".");
  }
  out.resize(size);
  return out;
}

std::string KindOfEntry(const std::filesystem::file_status& status) {
  switch (status.type()) {
    case std::filesystem::file_type::symlink:
      return "a symbolic link";
    case std::filesystem::file_type::directory:
      return "a folder";
    case std::filesystem::file_type::fifo:
      return "a named pipe";
    case std::filesystem::file_type::socket:
      return "a socket";
    case std::filesystem::file_type::block:
    case std::filesystem::file_type::character:
      return "a device";
    default:
      return "not a regular file";
  }
}

void RefuseNamesDifferingInCase(const std::string& folder, const std::vector<std::string>& names) {
  std::map<std::string, const std::string*> seen;
  for (const std::string& name : names) {
    const auto [it, added] = seen.emplace(kestrune::Upper(name), &name);
    if (!added) {
      throw Error("The folder \"" + folder + "\" holds both \"" + *it->second + "\" and \"" + name +
                  "\", which a skin archive cannot tell apart.");
    }
  }
}

}  // namespace

Bytes PackSkinArchive(std::span<const PackedMember> members,
                      std::optional<std::span<const std::uint8_t>> preview) {
  Bytes out(kArchiveSignature.begin(), kArchiveSignature.end());
  AppendU32(out, members.size());
  std::size_t total = 0;
  for (const PackedMember& member : members) {
    if (member.bytes.size() > kMaxUnpackedTotal - total) {
      throw Error("The skin files unpack to more than " + std::to_string(kMaxUnpackedTotal >> 20) +
                  " MiB, more than a skin archive may hold.");
    }
    total += member.bytes.size();
    const std::string name = Utf8ToAnsi(member.name);
    if (name.empty())
      throw Error("A skin archive member needs a name.");
    AppendU32(out, name.size());
    out.insert(out.end(), name.begin(), name.end());
    AppendU32(out, member.bytes.size());
    AppendBytes(out, Compress(member.bytes, member.name));
  }
  if (preview) {
    if (preview->size() > std::numeric_limits<std::uint32_t>::max())
      throw Error("The preview picture is too large for a skin archive.");
    out.insert(out.end(), kPreviewMarker.begin(), kPreviewMarker.end());
    AppendU32(out, preview->size());
    AppendBytes(out, *preview);
  }
  return out;
}

Bytes PackSkinFolder(const std::string& folder,
                     std::optional<std::span<const std::uint8_t>> preview,
                     std::vector<std::string>* skipped) {
  std::vector<std::string> names;
  std::vector<std::string> passed;
  std::error_code error;
  for (std::filesystem::directory_iterator it(platform::Utf8Path(folder), error), end;
       !error && it != end; it.increment(error)) {
    // Links are judged as links, so that nothing from outside the folder is packed.
    const std::filesystem::file_status status = it->symlink_status(error);
    if (error)
      break;
    std::string name = platform::PathText(it->path().filename());
    if (std::filesystem::is_regular_file(status)) {
      names.push_back(std::move(name));
    } else {
      passed.push_back(std::move(name) + ": " + KindOfEntry(status));
    }
  }
  if (error)
    throw Error("Cannot read the folder \"" + folder + "\". " + error.message());
  std::sort(passed.begin(), passed.end());
  if (skipped != nullptr)
    *skipped = std::move(passed);
  RefuseNamesDifferingInCase(folder, names);
  std::sort(names.begin(), names.end());
  const auto options = std::find_if(names.begin(), names.end(), IsOptionsFileName);
  if (options == names.end()) {
    throw Error("The folder \"" + folder + "\" has no " + std::string(kOptionsFileName) + " file.");
  }
  std::rotate(names.begin(), options, options + 1);

  std::vector<PackedMember> members;
  std::size_t total = 0;
  for (std::string& name : names) {
    const std::string path =
        platform::PathText(platform::Utf8Path(folder) / platform::Utf8Path(name));
    Bytes bytes = platform::ReadFileBytes(path, kMaxUnpackedTotal - total);
    total += bytes.size();
    members.push_back(PackedMember{std::move(name), std::move(bytes)});
  }
  return PackSkinArchive(members, preview);
}

}  // namespace kestrune::skin
