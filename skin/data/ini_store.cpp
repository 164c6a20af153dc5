#include "skin/data/ini_store.h"

namespace kestrune::skin {
namespace {

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

}  // namespace

void IniStore::Load(std::string_view text) {
  sections_.clear();
  index_.clear();
  by_name_.clear();
  std::size_t current = 0;
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
      std::string name(TrimBlanks(trimmed.substr(1, trimmed.size() - 2)));
      const auto [it, added] = by_name_.try_emplace(name, sections_.size());
      if (added) {
        sections_.push_back(Section{std::move(name), {}});
        index_.emplace_back();
      }
      current = it->second;
      have_section = true;
      continue;
    }
    const std::size_t eq = line.find('=');
    if (!have_section || eq == std::string_view::npos) {
      continue;
    }
    std::string key(TrimBlanks(line.substr(0, eq)));
    if (key.empty()) {
      continue;
    }
    auto& keys = index_[current].keys;
    if (keys.try_emplace(key, sections_[current].Keys.size()).second) {
      sections_[current].Keys.emplace_back(std::move(key), std::string(line.substr(eq + 1)));
    }
  }
}

const std::string* IniStore::Find(std::string_view section, std::string_view key) const {
  return Find(SectionIndex(section), key);
}

const std::string* IniStore::Find(int s, std::string_view key) const {
  if (s < 0 || static_cast<std::size_t>(s) >= sections_.size()) {
    return nullptr;
  }
  const auto& keys = index_[static_cast<std::size_t>(s)].keys;
  const auto it = keys.find(std::string(key));
  if (it == keys.end()) {
    return nullptr;
  }
  return &sections_[static_cast<std::size_t>(s)].Keys[it->second].second;
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
  const auto it = by_name_.find(std::string(section));
  return it == by_name_.end() ? -1 : static_cast<int>(it->second);
}

}  // namespace kestrune::skin
