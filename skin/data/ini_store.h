#pragma once
// The in-memory INI store of a skin's options text.
//
// Grammar, one line at a time (CR LF, LF or CR ends a line):
//   - a line whose text, without surrounding blanks, is "[" name "]" opens a section; the name is
//     taken without surrounding blanks;
//   - a line holding "=" adds the key (the text before the first "=", without surrounding blanks)
//     and its value (everything after the "=", kept as written) to the last opened section.
// Blank lines, lines without "=", and keys before the first section are ignored. Names are
// compared case-sensitively. The first of two keys of one name wins; a section opened a second
// time continues the first one. Nothing in the text makes loading fail.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace kestrune::skin {

class IniStore {
 public:
  struct Section {
    std::string Name;
    std::vector<std::pair<std::string, std::string>> Keys;  // In the order of the text.
  };

  IniStore() = default;
  explicit IniStore(std::string_view text) { Load(text); }

  // Replaces the whole content by the sections of `text`.
  void Load(std::string_view text);
  // Empties the store and gives its memory back.
  void Clear();

  // The value of `key` in `section`, or nullptr when either is absent.
  [[nodiscard]] const std::string* Find(std::string_view section, std::string_view key) const;
  // The same for the section at `section_index` in Sections().
  [[nodiscard]] const std::string* Find(int section_index, std::string_view key) const;
  [[nodiscard]] std::string ReadString(std::string_view section, std::string_view key,
                                       std::string_view default_value) const;
  [[nodiscard]] bool SectionExists(std::string_view section) const;
  // Index of the section in Sections(), -1 when absent.
  [[nodiscard]] int SectionIndex(std::string_view section) const;
  [[nodiscard]] const std::vector<Section>& Sections() const { return sections_; }

 private:
  // Where a key stands: its section and its place in that section's Keys.
  struct KeySlot {
    std::uint32_t section;
    std::uint32_t key;
  };
  static constexpr std::uint32_t kFree = UINT32_MAX;

  [[nodiscard]] std::size_t SectionSlot(std::string_view name) const;
  [[nodiscard]] std::size_t KeySlotOf(std::uint32_t section, std::string_view key) const;
  void GrowSectionSlots();
  void GrowKeySlots();

  std::vector<Section> sections_;
  // Open-addressing tables, at most half full, over sections_ and over the keys of all of them:
  // a few large blocks rather than one per key, which a heap may keep after the store has gone.
  std::vector<std::uint32_t> section_slots_;
  std::vector<KeySlot> key_slots_;
  std::size_t key_count_ = 0;
};

}  // namespace kestrune::skin
