#pragma once
// Reading typed values from the options store, and the PARENTCLASS inheritance of section keys.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "skin/data/ini_store.h"

namespace kestrune::skin {

// Integer text: optional leading blanks, an optional sign, then decimal digits or "$" and
// hexadecimal digits (hexadecimal wraps into the signed range, as colours are written).
// Anything else, or a value out of range, is no number. The address lists read their numbers with
// ParseInt32 (extractor/ip_text.h), which also takes "x" and "0x" but no tab: each reader keeps
// the rule its own files were written with, so a skin value such as "x10" stays no number.
[[nodiscard]] std::optional<std::int32_t> ParseInteger(std::string_view text);
[[nodiscard]] std::optional<std::int64_t> ParseInteger64(std::string_view text);
// As ParseInteger, throwing kestrune::Error "'text' is not a valid integer value" instead.
[[nodiscard]] std::int32_t StrToInt(std::string_view text);
[[nodiscard]] std::int64_t StrToInt64(std::string_view text);
// True only for "TRUE" and "1".
[[nodiscard]] bool ParseBoolean(std::string_view text);

// Section keys looked up through the PARENTCLASS chain: the section itself, then its parent, and
// so on. A chain ends at an empty parent name, at "?", at a name that is not a section, at the
// section itself, or at a section the walk has already visited, so loops end.
//
// Results are computed per key for all sections at once and kept, so hostile files with long
// chains stay linear in their size.
class InheritedKeys {
 public:
  explicit InheritedKeys(const IniStore& ini);

  struct Found {
    const std::string* Value = nullptr;  // Owned by the store; nullptr when absent everywhere.
    bool Own = false;                    // Found in the section itself.
  };
  // The first section of the chain that has `key`.
  [[nodiscard]] Found FindString(int section, std::string_view key);
  // The first section of the chain whose `key` is a number.
  [[nodiscard]] Found FindInteger(int section, std::string_view key, std::int32_t& value);

  // The section index the chain continues with, or -1.
  [[nodiscard]] int Parent(int section) const { return parent_[static_cast<std::size_t>(section)]; }

 private:
  const std::vector<int>& Suppliers(std::string_view key, bool numeric);

  const IniStore& ini_;
  std::vector<int> parent_;
  struct KeyHash {
    using is_transparent = void;
    std::size_t operator()(std::string_view key) const {
      return std::hash<std::string_view>{}(key);
    }
  };
  using ByKey = std::unordered_map<std::string, std::vector<int>, KeyHash, std::equal_to<>>;
  // Every key of every section, sorted by name and then section: one block for the whole file,
  // where a map would take a block or two per key, which a heap keeps after the load.
  struct Holder {
    std::uint32_t section;
    std::uint32_t key;  // Its place in the section's Keys.
  };
  [[nodiscard]] std::string_view NameOf(Holder holder) const;
  std::vector<Holder> holders_;
  ByKey suppliers_[2];  // Any value, numeric values.
};

}  // namespace kestrune::skin
