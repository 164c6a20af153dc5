#include "skin/data/ini_store.h"

#include <algorithm>
#include <functional>

namespace kestrune::skin {
namespace {

constexpr std::size_t kFirstSlots = 16;

std::string_view TrimBlanks(std::string_view s) {
  const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
  while (!s.empty() && blank(s.front())) {
    s.remove_prefix(1);
  }
  while (!s.empty() && blank(s.back())) {
    s.remove_suffix(1);
  }
  return s;
}

std::size_t KeyHash(std::uint32_t section, std::string_view key) {
  const std::size_t hash = std::hash<std::string_view>{}(key);
  return hash ^ (section + 0x9E3779B97F4A7C15u + (hash << 6) + (hash >> 2));
}

// The slot of the first entry from `hash` on that `matches`, or the free slot where it would go.
template <typename Slot, typename IsFree, typename Matches>
std::size_t Probe(const std::vector<Slot>& slots, std::size_t hash, IsFree is_free,
                  Matches matches) {
  const std::size_t mask = slots.size() - 1;
  std::size_t at = hash & mask;
  while (!is_free(slots[at]) && !matches(slots[at])) {
    at = (at + 1) & mask;
  }
  return at;
}

}  // namespace

void IniStore::Clear() {
  // Assigning new vectors gives the blocks back; clear() or "= {}" would keep them.
  sections_ = std::vector<Section>();
  section_slots_ = std::vector<std::uint32_t>();
  key_slots_ = std::vector<KeySlot>();
  key_count_ = 0;
}

std::size_t IniStore::SectionSlot(std::string_view name) const {
  return Probe(
      section_slots_, std::hash<std::string_view>{}(name),
      [](std::uint32_t slot) { return slot == kFree; },
      [this, name](std::uint32_t slot) { return sections_[slot].Name == name; });
}

std::size_t IniStore::KeySlotOf(std::uint32_t section, std::string_view key) const {
  return Probe(
      key_slots_, KeyHash(section, key), [](KeySlot slot) { return slot.section == kFree; },
      [this, section, key](KeySlot slot) {
        return slot.section == section && sections_[section].Keys[slot.key].first == key;
      });
}

void IniStore::GrowSectionSlots() {
  section_slots_.assign(std::max(kFirstSlots, section_slots_.size() * 2), kFree);
  for (std::uint32_t s = 0; s < sections_.size(); ++s) {
    section_slots_[SectionSlot(sections_[s].Name)] = s;
  }
}

void IniStore::GrowKeySlots() {
  key_slots_.assign(std::max(kFirstSlots, key_slots_.size() * 2), KeySlot{kFree, 0});
  for (std::uint32_t s = 0; s < sections_.size(); ++s) {
    const auto& keys = sections_[s].Keys;
    for (std::uint32_t k = 0; k < keys.size(); ++k) {
      key_slots_[KeySlotOf(s, keys[k].first)] = KeySlot{s, k};
    }
  }
}

void IniStore::Load(std::string_view text) {
  Clear();
  std::uint32_t current = 0;
  bool have_section = false;
  while (!text.empty()) {
    const std::size_t end = text.find_first_of("\r\n");
    const std::string_view line = text.substr(0, end);
    if (end == std::string_view::npos) {
      text = {};
    } else {
      const bool crlf = text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n';
      text.remove_prefix(end + (crlf ? 2 : 1));
    }
    const std::string_view trimmed = TrimBlanks(line);
    if (trimmed.size() >= 2 && trimmed.front() == '[' && trimmed.back() == ']') {
      const std::string_view name = TrimBlanks(trimmed.substr(1, trimmed.size() - 2));
      if ((sections_.size() + 1) * 2 > section_slots_.size()) {
        GrowSectionSlots();
      }
      std::uint32_t& slot = section_slots_[SectionSlot(name)];
      if (slot == kFree) {
        slot = static_cast<std::uint32_t>(sections_.size());
        sections_.push_back(Section{std::string(name), {}});
      }
      current = slot;
      have_section = true;
      continue;
    }
    const std::size_t eq = line.find('=');
    if (!have_section || eq == std::string_view::npos) {
      continue;
    }
    const std::string_view key = TrimBlanks(line.substr(0, eq));
    if (key.empty()) {
      continue;
    }
    if ((key_count_ + 1) * 2 > key_slots_.size()) {
      GrowKeySlots();
    }
    KeySlot& slot = key_slots_[KeySlotOf(current, key)];
    if (slot.section == kFree) {
      auto& keys = sections_[current].Keys;
      slot = KeySlot{current, static_cast<std::uint32_t>(keys.size())};
      keys.emplace_back(std::string(key), std::string(line.substr(eq + 1)));
      ++key_count_;
    }
  }
}

const std::string* IniStore::Find(std::string_view section, std::string_view key) const {
  return Find(SectionIndex(section), key);
}

const std::string* IniStore::Find(int s, std::string_view key) const {
  if (s < 0 || static_cast<std::size_t>(s) >= sections_.size() || key_slots_.empty()) {
    return nullptr;
  }
  const auto section = static_cast<std::uint32_t>(s);
  const KeySlot slot = key_slots_[KeySlotOf(section, key)];
  return slot.section == kFree ? nullptr : &sections_[section].Keys[slot.key].second;
}

std::string IniStore::ReadString(std::string_view section, std::string_view key,
                                 std::string_view default_value) const {
  const std::string* value = Find(section, key);
  return value != nullptr ? *value : std::string(default_value);
}

bool IniStore::SectionExists(std::string_view section) const {
  return SectionIndex(section) >= 0;
}

int IniStore::SectionIndex(std::string_view section) const {
  if (section_slots_.empty()) {
    return -1;
  }
  const std::uint32_t slot = section_slots_[SectionSlot(section)];
  return slot == kFree ? -1 : static_cast<int>(slot);
}

}  // namespace kestrune::skin
