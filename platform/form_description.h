#pragma once
// A window's stored description: its components, parent first, each with named properties.
// The text is read when the window is created; the framework builds the real windows from it.
//
// Grammar, one item per line (leading and trailing blanks ignored, a UTF-8 byte-order mark
// skipped):
//   # comment                 ignored, as are blank lines
//   [Name]                    starts a component; names are unique
//   key = value, value, ...   a property of the current component; keys are unique per component
// A value is an integer (decimal, optional minus), a "quoted text" (\" and \\ escape) or a bare
// word of letters, digits and underscores. Every component needs `kind`; `parent` names a
// component declared before it, and only the first component has no parent.
// Any breach is an Error naming the line; nothing is guessed.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kestrune::platform {

struct DescriptionValue {
  enum class Type { kNumber, kText, kWord };
  Type type = Type::kWord;
  std::int64_t number = 0;
  std::string text;  // the text or the word; empty for a number
};

struct DescriptionProperty {
  std::string key;
  std::vector<DescriptionValue> values;
  int line = 0;
};

// One component. The typed getters throw an Error naming the component and the key when the
// property is missing or has the wrong shape.
class ComponentDescription {
 public:
  std::string name;
  std::string kind;
  std::string parent;  // empty for the root
  std::vector<DescriptionProperty> properties;

  [[nodiscard]] bool Has(std::string_view key) const;
  [[nodiscard]] std::string Text(std::string_view key) const;
  [[nodiscard]] std::string Word(std::string_view key) const;
  [[nodiscard]] int Number(std::string_view key) const;
  // Exactly `count` numbers.
  [[nodiscard]] std::vector<int> Numbers(std::string_view key, std::size_t count) const;
  // One or more bare words.
  [[nodiscard]] std::vector<std::string> Words(std::string_view key) const;
  // The whole value list, for shapes the getters above do not cover.
  [[nodiscard]] const std::vector<DescriptionValue>& Values(std::string_view key) const;

  // Defaults for properties a component may leave out.
  [[nodiscard]] std::string TextOr(std::string_view key, std::string_view fallback) const;
  [[nodiscard]] int NumberOr(std::string_view key, int fallback) const;
  [[nodiscard]] bool FlagOr(std::string_view key, bool fallback) const;  // yes / no

 private:
  [[nodiscard]] const DescriptionProperty& Find(std::string_view key) const;
  [[noreturn]] void Fail(std::string_view key, std::string_view what) const;
};

struct FormDescription {
  std::vector<ComponentDescription> components;  // in text order, so parents come first

  // nullptr when there is no such component.
  [[nodiscard]] const ComponentDescription* Find(std::string_view name) const;
};

[[nodiscard]] FormDescription ParseFormDescription(std::string_view text);

}  // namespace kestrune::platform
