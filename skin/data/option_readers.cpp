#include "skin/data/option_readers.h"

#include <limits>

#include "platform/ascii_text.h"
#include "platform/error.h"

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
  for (std::size_t i = 0; i < sections.size(); ++i) {
    const std::string* name = ini.Find(sections[i].Name, "PARENTCLASS");
    if (name == nullptr || name->empty() || *name == "?") {
      continue;
    }
    const int parent = ini.SectionIndex(*name);
    if (parent != static_cast<int>(i)) {
      parent_[i] = parent;
    }
  }
}

InheritedKeys::Found InheritedKeys::FindString(int section, std::string_view key) {
  const int supplier = Suppliers(key, false)[static_cast<std::size_t>(section)];
  if (supplier < 0) {
    return {};
  }
  return {ini_.Find(ini_.Sections()[static_cast<std::size_t>(supplier)].Name, key),
          supplier == section};
}

InheritedKeys::Found InheritedKeys::FindInteger(int section, std::string_view key,
                                                std::int32_t& value) {
  const int supplier = Suppliers(key, true)[static_cast<std::size_t>(section)];
  if (supplier < 0) {
    return {};
  }
  const std::string* text =
      ini_.Find(ini_.Sections()[static_cast<std::size_t>(supplier)].Name, key);
  value = ParseInteger(*text).value_or(0);
  return {text, supplier == section};
}

// The parent links form a graph where every section has at most one successor. For each section
// the supplier is the first section on its walk that has the key; walks that enter a loop go
// round it once.
const std::vector<int>& InheritedKeys::Suppliers(std::string_view key, bool numeric) {
  std::string cache_key(key);
  cache_key.push_back(numeric ? '#' : '=');
  const auto cached = suppliers_.find(cache_key);
  if (cached != suppliers_.end()) {
    return cached->second;
  }
  const auto& sections = ini_.Sections();
  const std::size_t n = sections.size();
  std::vector<char> has(n, 0);
  for (std::size_t i = 0; i < n; ++i) {
    const std::string* value = ini_.Find(sections[i].Name, key);
    has[i] = value != nullptr && (!numeric || ParseInteger(*value).has_value()) ? 1 : 0;
  }
  enum : char { kNew, kOnPath, kDone };
  std::vector<char> state(n, kNew);
  std::vector<int> result(n, -1);
  std::vector<int> path;
  for (std::size_t start = 0; start < n; ++start) {
    if (state[start] != kNew) {
      continue;
    }
    path.clear();
    int node = static_cast<int>(start);
    while (node >= 0 && state[static_cast<std::size_t>(node)] == kNew) {
      state[static_cast<std::size_t>(node)] = kOnPath;
      path.push_back(node);
      node = parent_[static_cast<std::size_t>(node)];
    }
    std::size_t tree_end = path.size();  // Path entries before this index are not on a loop.
    int tail = -1;
    if (node >= 0 && state[static_cast<std::size_t>(node)] == kDone) {
      tail = result[static_cast<std::size_t>(node)];
    } else if (node >= 0) {
      // The walk closed a loop: path[loop_start..] is the loop, in walking order.
      std::size_t loop_start = 0;
      while (path[loop_start] != node) {
        ++loop_start;
      }
      const std::size_t length = path.size() - loop_start;
      std::size_t first = length;
      for (std::size_t i = 0; i < length; ++i) {
        if (has[static_cast<std::size_t>(path[loop_start + i])] != 0) {
          first = i;
          break;
        }
      }
      if (first < length) {
        // Going backwards round the loop from a member that has the key.
        int next = path[loop_start + first];
        result[static_cast<std::size_t>(next)] = next;
        for (std::size_t step = 1; step < length; ++step) {
          const std::size_t i = (first + length - step) % length;
          const int member = path[loop_start + i];
          result[static_cast<std::size_t>(member)] = has[static_cast<std::size_t>(member)] != 0
                                                         ? member
                                                         : result[static_cast<std::size_t>(next)];
          next = member;
        }
      }
      for (std::size_t i = loop_start; i < path.size(); ++i) {
        state[static_cast<std::size_t>(path[i])] = kDone;
      }
      tree_end = loop_start;
      tail = result[static_cast<std::size_t>(node)];
    }
    for (std::size_t i = tree_end; i-- > 0;) {
      const auto member = static_cast<std::size_t>(path[i]);
      result[member] = has[member] != 0 ? path[i] : tail;
      tail = result[member];
      state[member] = kDone;
    }
  }
  return suppliers_.emplace(std::move(cache_key), std::move(result)).first->second;
}

}  // namespace kestrune::skin
