#include "skin/data/option_readers.h"

#include <algorithm>
#include <limits>

#include "platform/ascii_text.h"
#include "platform/error.h"
#include "skin/data/parent_chain.h"

namespace kestrune::skin {
namespace {

// Reads into a 64-bit value; `hex_bits` is how many bits a "$" number may fill before it wraps
// into the signed range.
std::optional<std::int64_t> ParseSigned(std::string_view text, int hex_bits) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) {
    text.remove_prefix(1);
  }
  bool negative = false;
  if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  if (text.empty()) {
    return std::nullopt;
  }
  if (text.front() == '$') {
    text.remove_prefix(1);
    const std::size_t max_digits = static_cast<std::size_t>(hex_bits / 4);
    if (text.empty() || text.size() > max_digits) {
      return std::nullopt;
    }
    std::uint64_t value = 0;
    for (const char c : text) {
      const int digit = HexDigitValue(c);
      if (digit < 0) {
        return std::nullopt;
      }
      value = value * 16 + static_cast<std::uint64_t>(digit);
    }
    if (hex_bits == 32) {
      const std::int64_t result = static_cast<std::int32_t>(static_cast<std::uint32_t>(value));
      return negative ? -result : result;
    }
    return static_cast<std::int64_t>(negative ? 0 - value : value);
  }
  // Accumulate negatively so that the most negative value fits.
  std::int64_t value = 0;
  const std::int64_t limit = std::numeric_limits<std::int64_t>::min();
  for (const char c : text) {
    if (c < '0' || c > '9') {
      return std::nullopt;
    }
    const int digit = c - '0';
    if (value < (limit + digit) / 10) {
      return std::nullopt;
    }
    value = value * 10 - digit;
  }
  if (!negative) {
    if (value == limit) {
      return std::nullopt;
    }
    value = -value;
  }
  return value;
}

[[noreturn]] void ThrowInvalidInteger(std::string_view text) {
  throw Error("'" + std::string(text) + "' is not a valid integer value");
}

}  // namespace

std::optional<std::int32_t> ParseInteger(std::string_view text) {
  const auto value = ParseSigned(text, 32);
  if (!value || *value < std::numeric_limits<std::int32_t>::min() ||
      *value > std::numeric_limits<std::int32_t>::max()) {
    return std::nullopt;
  }
  return static_cast<std::int32_t>(*value);
}

std::optional<std::int64_t> ParseInteger64(std::string_view text) {
  return ParseSigned(text, 64);
}

std::int32_t StrToInt(std::string_view text) {
  const auto value = ParseInteger(text);
  if (!value) {
    ThrowInvalidInteger(text);
  }
  return *value;
}

std::int64_t StrToInt64(std::string_view text) {
  const auto value = ParseInteger64(text);
  if (!value) {
    ThrowInvalidInteger(text);
  }
  return *value;
}

bool ParseBoolean(std::string_view text) {
  return text == "TRUE" || text == "1";
}

InheritedKeys::InheritedKeys(const IniStore& ini) : ini_(ini) {
  const auto& sections = ini.Sections();
  parent_.assign(sections.size(), -1);
  std::size_t key_count = 0;
  for (const auto& section : sections) {
    key_count += section.Keys.size();
  }
  holders_.reserve(key_count);
  for (std::size_t i = 0; i < sections.size(); ++i) {
    const int section = static_cast<int>(i);
    for (std::size_t k = 0; k < sections[i].Keys.size(); ++k) {
      holders_.push_back(Holder{static_cast<std::uint32_t>(i), static_cast<std::uint32_t>(k)});
    }
    const std::string* name = ini.Find(section, "PARENTCLASS");
    if (name == nullptr || name->empty() || *name == "?") {
      continue;
    }
    const int parent = ini.SectionIndex(*name);
    if (parent != section) {
      parent_[i] = parent;
    }
  }
  std::stable_sort(holders_.begin(), holders_.end(),
                   [this](Holder a, Holder b) { return NameOf(a) < NameOf(b); });
}

std::string_view InheritedKeys::NameOf(Holder holder) const {
  return ini_.Sections()[holder.section].Keys[holder.key].first;
}

InheritedKeys::Found InheritedKeys::FindString(int section, std::string_view key) {
  const int supplier = Suppliers(key, false)[static_cast<std::size_t>(section)];
  if (supplier < 0) {
    return {};
  }
  return {ini_.Find(supplier, key), supplier == section};
}

InheritedKeys::Found InheritedKeys::FindInteger(int section, std::string_view key,
                                                std::int32_t& value) {
  const int supplier = Suppliers(key, true)[static_cast<std::size_t>(section)];
  if (supplier < 0) {
    return {};
  }
  const std::string* text = ini_.Find(supplier, key);
  value = ParseInteger(*text).value_or(0);
  return {text, supplier == section};
}

const std::vector<int>& InheritedKeys::Suppliers(std::string_view key, bool numeric) {
  ByKey& cache = suppliers_[numeric ? 1 : 0];
  const auto cached = cache.find(key);
  if (cached != cache.end()) {
    return cached->second;
  }
  std::vector<char> has(parent_.size(), 0);
  const auto first = std::partition_point(holders_.begin(), holders_.end(),
                                          [this, key](Holder h) { return NameOf(h) < key; });
  for (auto it = first; it != holders_.end() && NameOf(*it) == key; ++it) {
    const std::string& text = ini_.Sections()[it->section].Keys[it->key].second;
    has[it->section] = !numeric || ParseInteger(text).has_value() ? 1 : 0;
  }
  return cache.emplace(std::string(key), FirstOnChain(parent_, has)).first->second;
}

}  // namespace kestrune::skin
