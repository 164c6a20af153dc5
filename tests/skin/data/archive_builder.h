#pragma once
// Archives made byte by byte, so tests can damage any field the writer would get right.

#include <zlib.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "skin/data/skin_archive.h"

namespace kestrune::skin::test {

inline void PutU32(Bytes& out, std::uint32_t value) {
  for (int shift = 0; shift < 32; shift += 8)
    out.push_back(static_cast<std::uint8_t>(value >> shift));
}

inline void PutText(Bytes& out, std::string_view text) {
  out.insert(out.end(), text.begin(), text.end());
}

inline Bytes ToBytes(std::string_view text) {
  return Bytes(text.begin(), text.end());
}

inline Bytes ZlibOf(const Bytes& data, int level = Z_BEST_COMPRESSION) {
  uLongf size = compressBound(static_cast<uLong>(data.size()));
  Bytes out(size);
  compress2(out.data(), &size, data.data(), static_cast<uLong>(data.size()), level);
  out.resize(size);
  return out;
}

// "ASzf" and a member count, then members appended one by one.
class ArchiveBuilder {
 public:
  explicit ArchiveBuilder(std::uint32_t count) {
    PutText(bytes, "ASzf");
    PutU32(bytes, count);
  }
  // A member with a correct zlib stream; `declared` overrides the unpacked size.
  ArchiveBuilder& Member(std::string_view name, const Bytes& data, std::int64_t declared = -1) {
    PutU32(bytes, static_cast<std::uint32_t>(name.size()));
    PutText(bytes, name);
    PutU32(bytes, static_cast<std::uint32_t>(declared < 0 ? static_cast<std::int64_t>(data.size())
                                                          : declared));
    const Bytes packed = ZlibOf(data);
    bytes.insert(bytes.end(), packed.begin(), packed.end());
    return *this;
  }
  ArchiveBuilder& Preview(const Bytes& picture) {
    PutText(bytes, "previewimg");
    PutU32(bytes, static_cast<std::uint32_t>(picture.size()));
    bytes.insert(bytes.end(), picture.begin(), picture.end());
    return *this;
  }

  Bytes bytes;
};

// Bytes that do not compress, the same on every run.
inline Bytes NoiseBytes(std::size_t size, std::uint32_t seed) {
  Bytes out(size);
  for (auto& byte : out) {
    seed = seed * 1664525u + 1013904223u;
    byte = static_cast<std::uint8_t>(seed >> 24);
  }
  return out;
}

}  // namespace kestrune::skin::test
