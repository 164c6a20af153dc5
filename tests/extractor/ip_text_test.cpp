#include "extractor/ip_text.h"

#include <gtest/gtest.h>

#include <cstdio>

#include "platform/error.h"

namespace kestrune {
namespace {

struct GoodAddress {
  const char* text;
  std::uint32_t address;
};

TEST(StrToIP, ReadsAddresses) {
  const GoodAddress cases[] = {
      {"1.2.3.4", 16909060u},
      {"0.0.0.0", 0u},
      {"255.255.255.255", 4294967295u},
      {"10.0.0.5", 167772165u},
      {" 1.2.3.4", 16909060u},
      {"1. 2.3.4", 16909060u},
      {"0x0A.0.0.1", 167772161u},
      {"$a.0.0.1", 167772161u},
      {"+10.0.0.1", 167772161u},
      {"010.0.0.1", 167772161u},
      {"X0a.0.0.1", 167772161u},
      {"-0.0.0.1", 1u},
      {"0.0.0.0xFF", 255u},
      {"000000000255.1.1.1", 4278255873u},
  };
  for (const auto& [text, address] : cases) {
    SCOPED_TRACE(text);
    EXPECT_EQ(StrToIP(text), address);
  }
}

struct BadAddress {
  std::string text;
  std::string message;
};

TEST(StrToIP, RejectsWithTheFirstFault) {
  const BadAddress cases[] = {
      {"1.2.3", "Invalid IP format: 1.2.3"},
      {"1.2.3.4.", "Invalid IP format: 1.2.3.4."},
      {"", "Invalid IP format: "},
      {".1.2.3.4", "Invalid IP format: .1.2.3.4"},
      {"1..3.4", "Invalid IP octet: "},
      {"256.1.1.1", "Invalid IP octet: 256"},
      {"1.2.300.4", "Invalid IP octet: 300"},
      {"1.2.3.4 ", "Invalid IP octet: 4 "},
      {"10.0.0.0 ", "Invalid IP octet: 0 "},
      {"-1.2.3.4", "Invalid IP octet: -1"},
      {"1.x.3.4", "Invalid IP octet: x"},
      {"1.0x.3.4", "Invalid IP octet: 0x"},
      {"1.2.3.$", "Invalid IP octet: $"},
      {"1.2.3.4a", "Invalid IP octet: 4a"},
      {"1.- 2.3.4", "Invalid IP octet: - 2"},
      {"99999999999999999999.1.1.1", "Invalid IP octet: 99999999999999999999"},
      {"a.300.x.y", "Invalid IP octet: a"},  // the first bad part decides
  };
  for (const auto& [text, message] : cases) {
    SCOPED_TRACE(text);
    try {
      (void)StrToIP(text);
      ADD_FAILURE() << "accepted";
    } catch (const Error& error) {
      EXPECT_EQ(std::string(error.what()), message);
    }
  }
}

TEST(IPToStr, WritesDottedQuads) {
  EXPECT_EQ(IPToStr(0), "0.0.0.0");
  EXPECT_EQ(IPToStr(4294967295u), "255.255.255.255");
  EXPECT_EQ(IPToStr(167772165u), "10.0.0.5");
  EXPECT_EQ(IPToStr(0x0A00FF00u), "10.0.255.0");
}

TEST(IPToStr, MatchesPrintfForEveryOctetInEveryPlace) {
  for (std::uint32_t v = 0; v < 256; ++v) {
    for (const std::uint32_t address : {v << 24 | 0x010203u, 0x01000203u | v << 16,
                                        0x01020003u | v << 8, 0x01020300u | v, v * 0x01010101u}) {
      char expected[16];
      std::snprintf(expected, sizeof expected, "%u.%u.%u.%u", address >> 24, address >> 16 & 255,
                    address >> 8 & 255, address & 255);
      ASSERT_EQ(IPToStr(address), expected);
      ASSERT_EQ(StrToIP(expected), address);
    }
  }
}

// Runs of addresses written at once: across the end of a last, second and first octet, up to the
// top of the range, and never past the room they are given.
TEST(AddressListText, WritesAndSizesRunsAsIPToStrWouldLineByLine) {
  const struct {
    const char* first;
    std::uint64_t count;
  } cases[] = {
      {"0.0.0.0", 1},         {"255.255.255.255", 1}, {"10.0.0.250", 300}, {"9.255.255.250", 20},
      {"255.255.0.0", 65536}, {"99.99.99.99", 1000},  {"1.2.3.4", 0},      {"10.0.0.5", 4},
  };
  for (const auto& [first, count] : cases) {
    SCOPED_TRACE(testing::Message() << count << " from " << first);
    const std::uint32_t start = StrToIP(first);
    std::string expected;
    for (std::uint64_t i = 0; i < count; ++i)
      expected += IPToStr(static_cast<std::uint32_t>(start + i)) + "\r\n";
    EXPECT_EQ(AddressListTextSize(start, count), expected.size());

    constexpr char kGuard = '#';
    std::string room(expected.size() + kListTextSlack + 8, kGuard);
    const char* end = WriteAddressListText(start, count, room.data());
    ASSERT_EQ(static_cast<std::size_t>(end - room.data()), expected.size());
    EXPECT_TRUE(room.compare(0, expected.size(), expected) == 0);
    EXPECT_EQ(room.substr(expected.size() + kListTextSlack), std::string(8, kGuard))
        << "written past the room";
  }
}

struct IntegerCase {
  const char* text;
  std::optional<std::int32_t> value;
};

TEST(ParseInt32, FollowsTheIntegerTextRule) {
  const IntegerCase cases[] = {
      {"24", 24},
      {" 24", 24},
      {"+24", 24},
      {"-1", -1},
      {"010", 10},
      {"$10", 16},
      {"0x10", 16},
      {"X10", 16},
      {"$FFFFFFFF", -1},
      {"2147483647", INT32_MAX},
      {"-2147483648", INT32_MIN},
      {"2147483648", std::nullopt},
      {"-2147483649", std::nullopt},
      {"$100000000", std::nullopt},
      {"-$80000000", std::nullopt},
      {"", std::nullopt},
      {" ", std::nullopt},
      {"24 ", std::nullopt},
      {"24/25", std::nullopt},
      {"abc", std::nullopt},
      {"24 comment", std::nullopt},
      {"\t24", std::nullopt},
      {"0x", std::nullopt},
      {"+", std::nullopt},
      {"99999999999999999999999", std::nullopt},
  };
  for (const auto& [text, value] : cases) {
    SCOPED_TRACE(text);
    EXPECT_EQ(ParseInt32(text), value);
  }
}

TEST(ParseUInt32, AcceptsMinusZeroOnly) {
  EXPECT_EQ(ParseUInt32("-0"), 0u);
  EXPECT_EQ(ParseUInt32("-$0"), 0u);
  EXPECT_EQ(ParseUInt32("-1"), std::nullopt);
  EXPECT_EQ(ParseUInt32("4294967295"), 4294967295u);
  EXPECT_EQ(ParseUInt32("4294967296"), std::nullopt);
  EXPECT_EQ(ParseUInt32("$FFFFFFFF"), 4294967295u);
}

}  // namespace
}  // namespace kestrune
