#include "platform/form_description.h"

#include <climits>

#include "platform/error.h"

namespace kestrune::platform {
namespace {

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

bool IsWordChar(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
}

std::string_view Trim(std::string_view text) {
  while (!text.empty() && IsBlank(text.front()))
    text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back()))
    text.remove_suffix(1);
  return text;
}

bool IsName(std::string_view text) {
  if (text.empty())
    return false;
  for (char c : text) {
    if (!IsWordChar(c))
      return false;
  }
  return true;
}

[[noreturn]] void FailAt(int line, std::string_view what) {
  throw Error("Form description line " + std::to_string(line) + ": " + std::string(what));
}

// Reads one value from the front of `rest` and removes it.
DescriptionValue ReadValue(std::string_view& rest, int line) {
  DescriptionValue value;
  if (rest.empty())
    FailAt(line, "missing value");
  if (rest.front() == '"') {
    value.type = DescriptionValue::Type::kText;
    std::size_t i = 1;
    for (;; ++i) {
      if (i >= rest.size())
        FailAt(line, "unterminated text");
      const char c = rest[i];
      if (c == '"')
        break;
      if (c == '\\') {
        if (i + 1 >= rest.size() || (rest[i + 1] != '"' && rest[i + 1] != '\\'))
          FailAt(line, "bad escape in text");
        ++i;
      }
      value.text += rest[i];
    }
    rest.remove_prefix(i + 1);
    return value;
  }
  std::size_t end = 0;
  if (rest.front() == '-')
    end = 1;
  while (end < rest.size() && IsWordChar(rest[end]))
    ++end;
  const std::string_view token = rest.substr(0, end);
  if (token.empty() || token == "-")
    FailAt(line, "bad value");
  rest.remove_prefix(end);
  const bool numeric = token.front() == '-' || (token.front() >= '0' && token.front() <= '9');
  if (!numeric) {
    value.text = std::string(token);
    return value;
  }
  value.type = DescriptionValue::Type::kNumber;
  const bool negative = token.front() == '-';
  std::int64_t number = 0;
  for (char c : token.substr(negative ? 1 : 0)) {
    if (c < '0' || c > '9')
      FailAt(line, "bad number '" + std::string(token) + "'");
    number = number * 10 + (c - '0');
    if (number > INT_MAX)
      FailAt(line, "number out of range '" + std::string(token) + "'");
  }
  value.number = negative ? -number : number;
  return value;
}

std::vector<DescriptionValue> ReadValues(std::string_view rest, int line) {
  std::vector<DescriptionValue> values;
  for (;;) {
    rest = Trim(rest);
    values.push_back(ReadValue(rest, line));
    rest = Trim(rest);
    if (rest.empty())
      return values;
    if (rest.front() != ',')
      FailAt(line, "expected ',' between values");
    rest.remove_prefix(1);
  }
}

void CheckComplete(const FormDescription& form, const ComponentDescription& component) {
  if (component.kind.empty())
    throw Error("Form description: component '" + component.name + "' has no kind");
  if (!component.parent.empty() && &component == &form.components.front())
    throw Error("Form description: the first component '" + component.name +
                "' cannot have a parent");
}

}  // namespace

FormDescription ParseFormDescription(std::string_view text) {
  if (text.substr(0, 3) == "\xEF\xBB\xBF")
    text.remove_prefix(3);
  FormDescription form;
  int line_number = 0;
  while (!text.empty()) {
    ++line_number;
    const std::size_t end = text.find('\n');
    const std::string_view line = Trim(text.substr(0, end));
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    if (line.empty() || line.front() == '#')
      continue;

    if (line.front() == '[') {
      if (line.back() != ']')
        FailAt(line_number, "expected ']'");
      const std::string_view name = Trim(line.substr(1, line.size() - 2));
      if (!IsName(name))
        FailAt(line_number, "bad component name '" + std::string(name) + "'");
      if (form.Find(name) != nullptr)
        FailAt(line_number, "component '" + std::string(name) + "' appears twice");
      if (!form.components.empty())
        CheckComplete(form, form.components.back());
      form.components.emplace_back().name = std::string(name);
      continue;
    }

    if (form.components.empty())
      FailAt(line_number, "property before the first component");
    const std::size_t equals = line.find('=');
    if (equals == std::string_view::npos)
      FailAt(line_number, "expected 'key = value'");
    const std::string_view key = Trim(line.substr(0, equals));
    if (!IsName(key))
      FailAt(line_number, "bad key '" + std::string(key) + "'");
    ComponentDescription& component = form.components.back();
    if (component.Has(key))
      FailAt(line_number, "key '" + std::string(key) + "' appears twice");
    std::vector<DescriptionValue> values = ReadValues(line.substr(equals + 1), line_number);

    const bool is_name_key = key == "kind" || key == "parent";
    if (is_name_key &&
        (values.size() != 1 || values.front().type != DescriptionValue::Type::kWord)) {
      FailAt(line_number, "'" + std::string(key) + "' takes one bare word");
    }
    if (key == "kind") {
      component.kind = values.front().text;
    } else if (key == "parent") {
      const std::string& parent = values.front().text;
      if (parent == component.name || form.Find(parent) == nullptr)
        FailAt(line_number,
               "parent '" + parent + "' is not declared before '" + component.name + "'");
      component.parent = parent;
    }
    component.properties.push_back({std::string(key), std::move(values), line_number});
  }
  if (form.components.empty())
    throw Error("Form description: no components");
  CheckComplete(form, form.components.back());
  for (const auto& component : form.components) {
    if (component.parent.empty() && &component != &form.components.front())
      throw Error("Form description: component '" + component.name + "' has no parent");
  }
  return form;
}

const ComponentDescription* FormDescription::Find(std::string_view name) const {
  for (const auto& component : components) {
    if (component.name == name)
      return &component;
  }
  return nullptr;
}

bool ComponentDescription::Has(std::string_view key) const {
  for (const auto& property : properties) {
    if (property.key == key)
      return true;
  }
  return false;
}

const DescriptionProperty& ComponentDescription::Find(std::string_view key) const {
  for (const auto& property : properties) {
    if (property.key == key)
      return property;
  }
  Fail(key, "is missing");
}

void ComponentDescription::Fail(std::string_view key, std::string_view what) const {
  throw Error("Form description: " + name + "." + std::string(key) + " " + std::string(what));
}

const std::vector<DescriptionValue>& ComponentDescription::Values(std::string_view key) const {
  return Find(key).values;
}

std::string ComponentDescription::Text(std::string_view key) const {
  const auto& values = Values(key);
  if (values.size() != 1 || values.front().type != DescriptionValue::Type::kText)
    Fail(key, "should be one quoted text");
  return values.front().text;
}

std::string ComponentDescription::Word(std::string_view key) const {
  const auto& values = Values(key);
  if (values.size() != 1 || values.front().type != DescriptionValue::Type::kWord)
    Fail(key, "should be one bare word");
  return values.front().text;
}

int ComponentDescription::Number(std::string_view key) const {
  return Numbers(key, 1).front();
}

std::vector<int> ComponentDescription::Numbers(std::string_view key, std::size_t count) const {
  const auto& values = Values(key);
  if (values.size() != count)
    Fail(key, "should have " + std::to_string(count) + " number(s)");
  std::vector<int> numbers;
  for (const auto& value : values) {
    if (value.type != DescriptionValue::Type::kNumber)
      Fail(key, "should hold numbers only");
    numbers.push_back(static_cast<int>(value.number));
  }
  return numbers;
}

std::vector<std::string> ComponentDescription::Words(std::string_view key) const {
  std::vector<std::string> words;
  for (const auto& value : Values(key)) {
    if (value.type != DescriptionValue::Type::kWord)
      Fail(key, "should hold bare words only");
    words.push_back(value.text);
  }
  return words;
}

std::string ComponentDescription::TextOr(std::string_view key, std::string_view fallback) const {
  return Has(key) ? Text(key) : std::string(fallback);
}

int ComponentDescription::NumberOr(std::string_view key, int fallback) const {
  return Has(key) ? Number(key) : fallback;
}

bool ComponentDescription::FlagOr(std::string_view key, bool fallback) const {
  if (!Has(key))
    return fallback;
  const std::string word = Word(key);
  if (word == "yes")
    return true;
  if (word == "no")
    return false;
  Fail(key, "should be yes or no");
}

}  // namespace kestrune::platform
