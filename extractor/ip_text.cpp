#include "extractor/ip_text.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "platform/ascii_text.h"
#include "platform/error.h"

namespace kestrune {
namespace {

struct Digits {
  bool negative = false;
  bool hexadecimal = false;
  std::uint64_t magnitude = 0;  // saturates above 2^32, which is out of every range
};

constexpr std::uint64_t kSaturated = std::uint64_t{1} << 33;

std::optional<Digits> ScanInteger(std::string_view text) {
  // The common case, plain decimal digits (octets, prefixes), without the general rules below.
  if (!text.empty() && text.size() <= 9 &&
      std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; })) {
    Digits digits;
    for (const char c : text)
      digits.magnitude = digits.magnitude * 10 + static_cast<std::uint64_t>(c - '0');
    return digits;
  }
  std::size_t i = 0;
  while (i < text.size() && text[i] == ' ')
    ++i;
  Digits digits;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    digits.negative = text[i] == '-';
    ++i;
  }
  if (i < text.size() && (text[i] == '$' || text[i] == 'x' || text[i] == 'X')) {
    digits.hexadecimal = true;
    ++i;
  } else if (i + 1 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
    digits.hexadecimal = true;
    i += 2;
  }
  if (i == text.size())
    return std::nullopt;
  const std::uint64_t base = digits.hexadecimal ? 16 : 10;
  for (; i < text.size(); ++i) {
    const int value = HexDigitValue(text[i]);
    if (value < 0 || static_cast<std::uint64_t>(value) >= base)
      return std::nullopt;
    digits.magnitude = digits.magnitude * base + static_cast<std::uint64_t>(value);
    if (digits.magnitude > kSaturated)
      digits.magnitude = kSaturated;
  }
  return digits;
}

// The 256 octet texts, formed once, so that writing an address is four table copies.
struct OctetTable {
  std::array<std::array<char, 4>, 256> text{};  // digits followed by "."
  std::array<std::uint8_t, 256> length{};       // digits only
  constexpr OctetTable() {
    for (unsigned v = 0; v < 256; ++v) {
      std::uint8_t n = 0;
      if (v >= 100)
        text[v][n++] = static_cast<char>('0' + v / 100);
      if (v >= 10)
        text[v][n++] = static_cast<char>('0' + v / 10 % 10);
      text[v][n++] = static_cast<char>('0' + v % 10);
      for (std::uint8_t k = n; k < 4; ++k)
        text[v][k] = '.';
      length[v] = n;
    }
  }
};

constexpr OctetTable kOctets;

// The last octet's text followed by CR LF, padded to eight bytes so that it is copied whole.
struct LineEndTable {
  std::array<std::array<char, 8>, 256> text{};
  std::array<std::uint8_t, 256> length{};
  constexpr LineEndTable() {
    for (unsigned v = 0; v < 256; ++v) {
      const std::uint8_t n = kOctets.length[v];
      for (std::uint8_t k = 0; k < n; ++k)
        text[v][k] = kOctets.text[v][k];
      text[v][n] = '\r';
      text[v][n + 1] = '\n';
      length[v] = static_cast<std::uint8_t>(n + 2);
    }
  }
};

constexpr LineEndTable kLineEnds;

bool IsDecimalDigit(char c) {
  return c >= '0' && c <= '9';
}

// The usual form of an address, four octets of one to three decimal digits each, read in one
// pass; empty for anything else, which the general rule then judges.
std::optional<std::uint32_t> ReadPlainAddress(std::string_view text) {
  std::uint32_t address = 0;
  std::size_t i = 0;
  for (int part = 0; part < 4; ++part) {
    if (part > 0) {
      if (i == text.size() || text[i] != '.')
        return std::nullopt;
      ++i;
    }
    const std::size_t first = i;
    unsigned octet = 0;
    while (i < text.size() && i - first < 3 && IsDecimalDigit(text[i]))
      octet = octet * 10 + static_cast<unsigned>(text[i++] - '0');
    if (i == first || octet > 255)
      return std::nullopt;
    address = address << 8 | octet;
  }
  if (i != text.size())
    return std::nullopt;
  return address;
}

}  // namespace

std::optional<std::uint32_t> ParseUInt32(std::string_view text) {
  const auto digits = ScanInteger(text);
  if (!digits)
    return std::nullopt;
  if (digits->negative) {
    if (digits->magnitude != 0)
      return std::nullopt;
    return 0u;
  }
  if (digits->magnitude > 0xFFFFFFFFu)
    return std::nullopt;
  return static_cast<std::uint32_t>(digits->magnitude);
}

std::optional<std::int32_t> ParseInt32(std::string_view text) {
  const auto digits = ScanInteger(text);
  if (!digits)
    return std::nullopt;
  std::int64_t value = 0;
  if (digits->hexadecimal) {
    if (digits->magnitude > 0xFFFFFFFFu)
      return std::nullopt;
    value = static_cast<std::int32_t>(static_cast<std::uint32_t>(digits->magnitude));
  } else {
    if (digits->magnitude > 0x80000000u)
      return std::nullopt;
    value = static_cast<std::int64_t>(digits->magnitude);
  }
  if (digits->negative)
    value = -value;
  if (value < INT32_MIN || value > INT32_MAX)
    return std::nullopt;
  return static_cast<std::int32_t>(value);
}

std::uint32_t StrToIP(std::string_view text) {
  if (const auto plain = ReadPlainAddress(text))
    return *plain;
  // Exactly four dot-separated parts; counted first, so that a list of 200,000 addresses costs
  // no allocation per line.
  if (text.empty() || std::count(text.begin(), text.end(), '.') != 3)
    throw Error("Invalid IP format: " + std::string(text));
  std::uint32_t address = 0;
  std::size_t start = 0;
  for (int k = 0; k < 4; ++k) {
    const std::size_t dot = k < 3 ? text.find('.', start) : text.size();
    const std::string_view part = text.substr(start, dot - start);
    const auto octet = ParseUInt32(part);
    if (!octet || *octet > 255)
      throw Error("Invalid IP octet: " + std::string(part));
    address = (address << 8) | *octet;
    start = dot + 1;
  }
  return address;
}

char* WriteIPText(std::uint32_t address, char* out) noexcept {
  // Each octet's entry is copied whole (its tail is dots); the next copy overwrites the extra.
  for (int shift = 24; shift > 0; shift -= 8) {
    const unsigned octet = (address >> shift) & 0xFFu;
    std::memcpy(out, kOctets.text[octet].data(), 4);
    out += kOctets.length[octet] + 1;
  }
  const unsigned last = address & 0xFFu;
  std::memcpy(out, kOctets.text[last].data(), kOctets.length[last]);
  return out + kOctets.length[last];
}

char* WriteAddressListText(std::uint32_t start, std::uint64_t count, char* out) noexcept {
  // Addresses that share their first three octets share the text before the last: it is formed
  // once per run of up to 256 and copied whole, as is the last octet with its line end. The
  // copies run past the line, into the room the next line overwrites.
  std::uint64_t address = start;
  const std::uint64_t end = address + count;
  while (address < end) {
    const std::uint64_t run_end = std::min(end, (address | 0xFFu) + 1);
    const auto first = static_cast<std::uint32_t>(address);
    char head[16] = {};
    char* head_end = head;
    for (int shift = 24; shift > 0; shift -= 8) {
      const unsigned octet = (first >> shift) & 0xFFu;
      std::memcpy(head_end, kOctets.text[octet].data(), 4);
      head_end += kOctets.length[octet] + 1;
    }
    const auto head_size = static_cast<std::size_t>(head_end - head);
    const std::uint32_t last = (first & 0xFFu) + static_cast<std::uint32_t>(run_end - address);
    for (std::uint32_t low = first & 0xFFu; low < last; ++low) {
      std::memcpy(out, head, sizeof head);
      std::memcpy(out + head_size, kLineEnds.text[low].data(), 8);
      out += head_size + kLineEnds.length[low];
    }
    address = run_end;
  }
  return out;
}

std::uint64_t AddressListTextSize(std::uint32_t start, std::uint64_t count) noexcept {
  // Digits of the last octets 0..v-1 together, so that a run sharing its first three octets is
  // summed at once.
  static constexpr auto kDigitsBefore = [] {
    std::array<std::uint32_t, 257> sums{};
    for (unsigned v = 0; v < 256; ++v)
      sums[v + 1] = sums[v] + kOctets.length[v];
    return sums;
  }();
  std::uint64_t size = 0;
  std::uint64_t address = start;
  const std::uint64_t end = address + count;
  while (address < end) {
    const std::uint64_t run_end = std::min(end, (address | 0xFFu) + 1);
    const auto first = static_cast<std::uint32_t>(address);
    unsigned shared = 3 + 2;  // the dots, CR LF
    for (int shift = 24; shift > 0; shift -= 8)
      shared += kOctets.length[(first >> shift) & 0xFFu];
    const std::uint32_t low = first & 0xFFu;
    const auto high = static_cast<std::uint32_t>(low + (run_end - address));
    size += (run_end - address) * shared + kDigitsBefore[high] - kDigitsBefore[low];
    address = run_end;
  }
  return size;
}

std::string IPToStr(std::uint32_t address) {
  char text[kMaxIPTextLength + 1];
  return std::string(text, WriteIPText(address, text));
}

}  // namespace kestrune
