#pragma once
// What the fuzzer and the corpus replay test do with one input: read it as a skin archive, look
// for its preview and, when its members read, pack them again and check that they read back the
// same. Returns normally or throws kestrune::Error; any other outcome is a fault.

#include <cstdint>
#include <span>
#include <stdexcept>
#include <vector>

#include "platform/error.h"
#include "skin/data/skin_archive.h"
#include "skin/data/skin_archive_writer.h"

namespace kestrune::fuzz {

inline std::vector<skin::PackedMember> AllMembers(std::span<const std::uint8_t> archive) {
  std::vector<skin::PackedMember> members;
  skin::ReadPackedMembers(
      archive, [&members](skin::PackedMember member) { members.push_back(std::move(member)); });
  return members;
}

inline void ReadArchiveInput(std::span<const std::uint8_t> data) {
  skin::Bytes preview;
  try {
    (void)skin::GetPreviewStream(preview, data);
  } catch (const Error&) {
  }

  skin::TacSkinConvertor convertor;
  convertor.PackedData = data;
  if (!skin::ExtractPackedData(convertor, {}))
    return;

  const std::vector<skin::PackedMember> members = AllMembers(data);
  for (const auto& member : members) {
    if (member.name.empty())
      return;  // The writer refuses unnamed members.
  }
  const std::vector<skin::PackedMember> again =
      AllMembers(skin::PackSkinArchive(members, std::nullopt));
  bool same = again.size() == members.size();
  for (std::size_t i = 0; same && i < members.size(); ++i)
    same = again[i].name == members[i].name && again[i].bytes == members[i].bytes;
  if (!same)
    throw std::logic_error("repacked members differ from the members read");
}

}  // namespace kestrune::fuzz
