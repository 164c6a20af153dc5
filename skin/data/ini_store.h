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

#include <string>
#include <string_view>
#include <unordered_map>
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
  struct SectionIndexData {
    std::unordered_map<std::string, std::size_t> keys;
  };
  std::vector<Section> sections_;
  std::vector<SectionIndexData> index_;
  std::unordered_map<std::string, std::size_t> by_name_;
};

}  // namespace kestrune::skin
