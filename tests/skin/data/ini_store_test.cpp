#include "skin/data/ini_store.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/error.h"
#include "skin/data/option_readers.h"

namespace kestrune::skin {
namespace {

TEST(IniStore, ReadsSectionsAndKeysCaseSensitively) {
  const IniStore ini(
      "ignored=1\r\n"
      "[GLOBALINFO]\r\n"
      "AUTHOR= Someone \r\n"
      "\r\n"
      "  COLOR = 15\r\n"
      "no equals sign\r\n"
      "COLOR=16\r\n"
      "[ EDIT ]\n"
      "Color=3\n"
      "EMPTY=\n"
      "[GLOBALINFO]\n"
      "VERSION=16.13\r"
      "[OLD]\rKEY=1\r\rOTHER=2");
  ASSERT_EQ(ini.Sections().size(), 3u);
  EXPECT_EQ(ini.Sections()[0].Name, "GLOBALINFO");
  EXPECT_EQ(ini.Sections()[1].Name, "EDIT");
  EXPECT_EQ(ini.ReadString("GLOBALINFO", "AUTHOR", "-"), " Someone ");
  EXPECT_EQ(ini.ReadString("GLOBALINFO", "COLOR", "-"), " 15");  // The first of two wins.
  EXPECT_EQ(ini.ReadString("GLOBALINFO", "VERSION", "-"), "16.13");
  EXPECT_EQ(ini.Find("EDIT", "COLOR"), nullptr);
  EXPECT_EQ(ini.ReadString("EDIT", "Color", "-"), "3");
  EXPECT_EQ(ini.ReadString("EDIT", "EMPTY", "-"), "");
  EXPECT_EQ(ini.Find("edit", "Color"), nullptr);
  EXPECT_EQ(ini.Find("", "ignored"), nullptr);
  EXPECT_EQ(ini.SectionIndex("EDIT"), 1);
  EXPECT_FALSE(ini.SectionExists("Edit"));
  EXPECT_EQ(ini.ReadString("OLD", "OTHER", "-"), "2");  // Lines ended by CR alone.
}

TEST(IniStore, KeepsLongLinesWhole) {
  const std::string value(1 << 20, 'x');
  const IniStore ini("[A]\nK=" + value + "\n[" + std::string(5000, 'S') + "]\nK=1");
  EXPECT_EQ(ini.ReadString("A", "K", ""), value);
  EXPECT_TRUE(ini.SectionExists(std::string(5000, 'S')));
}

TEST(OptionReaders, ParsesIntegers) {
  struct Case {
    const char* text;
    std::optional<std::int32_t> expected;
  };
  const Case cases[] = {
      {"12", 12},
      {"-7", -7},
      {"+3", 3},
      {" 5", 5},
      {"$FF", 255},
      {"$ff", 255},
      {"$FFFFFFFF", -1},
      {"-16777201", -16777201},
      {"2147483647", 2147483647},
      {"-2147483648", INT32_MIN},
      {"2147483648", std::nullopt},
      {"99999999999999999999999999", std::nullopt},
      {"$100000000", std::nullopt},
      {"5 ", std::nullopt},
      {"1.5", std::nullopt},
      {"", std::nullopt},
      {"-", std::nullopt},
      {"$", std::nullopt},
      {"N/A", std::nullopt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(ParseInteger(c.text), c.expected);
  }
  EXPECT_EQ(ParseInteger64("4278190335"), 4278190335LL);
  EXPECT_EQ(ParseInteger64("-9223372036854775808"), INT64_MIN);
  EXPECT_EQ(ParseInteger64("9223372036854775808"), std::nullopt);
  EXPECT_EQ(ParseInteger64("$FFFFFFFFFFFFFFFF"), -1);
}

TEST(OptionReaders, ConversionErrorNamesTheText) {
  try {
    (void)StrToInt("01X7");
    FAIL() << "no error";
  } catch (const Error& e) {
    EXPECT_STREQ(e.what(), "'01X7' is not a valid integer value");
  }
  EXPECT_THROW((void)StrToInt64("abc"), Error);
  EXPECT_EQ(StrToInt("0042"), 42);
}

TEST(OptionReaders, BooleansAreTrueOnlyForTrueAndOne) {
  for (const char* text : {"TRUE", "1"}) {
    EXPECT_TRUE(ParseBoolean(text)) << text;
  }
  for (const char* text : {"True", "true", "0", "", "YES", " 1", "TRUE "}) {
    EXPECT_FALSE(ParseBoolean(text)) << text;
  }
}

// Which section supplies COLOR for each section of the chain text below.
TEST(InheritedKeys, FollowsParentsAndEndsLoops) {
  const IniStore ini(
      "[ROOT]\nCOLOR=1\nWIDTH=abc\n"
      "[CHILD]\nPARENTCLASS=ROOT\nWIDTH=4\n"
      "[GRANDCHILD]\nPARENTCLASS=CHILD\n"
      "[SELF]\nPARENTCLASS=SELF\n"
      "[QUESTION]\nPARENTCLASS=?\n"
      "[UNKNOWN]\nPARENTCLASS=NOSUCH\n"
      "[LOOPA]\nPARENTCLASS=LOOPB\n"
      "[LOOPB]\nPARENTCLASS=LOOPA\nCOLOR=2\n"
      "[RING1]\nPARENTCLASS=RING2\n"
      "[RING2]\nPARENTCLASS=RING3\n"
      "[RING3]\nPARENTCLASS=RING1\nCOLOR=3\n"
      "[TAIL]\nPARENTCLASS=RING1\n"
      "[EMPTYLOOP1]\nPARENTCLASS=EMPTYLOOP2\n"
      "[EMPTYLOOP2]\nPARENTCLASS=EMPTYLOOP1\n"
      "[WRONGCASE]\nPARENTCLASS=root\n");
  struct Case {
    const char* section;
    const char* expected;  // nullptr: absent everywhere.
    bool own;
  };
  const Case cases[] = {
      {"ROOT", "1", true},
      {"CHILD", "1", false},
      {"GRANDCHILD", "1", false},
      {"SELF", nullptr, false},
      {"QUESTION", nullptr, false},
      {"UNKNOWN", nullptr, false},
      {"LOOPA", "2", false},
      {"LOOPB", "2", true},
      {"RING1", "3", false},
      {"RING2", "3", false},
      {"RING3", "3", true},
      {"TAIL", "3", false},
      {"EMPTYLOOP1", nullptr, false},
      {"EMPTYLOOP2", nullptr, false},
      {"WRONGCASE", nullptr, false},
  };
  InheritedKeys keys(ini);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.section);
    const auto found = keys.FindString(ini.SectionIndex(c.section), "COLOR");
    if (c.expected == nullptr) {
      EXPECT_EQ(found.Value, nullptr);
    } else {
      ASSERT_NE(found.Value, nullptr);
      EXPECT_EQ(*found.Value, c.expected);
      EXPECT_EQ(found.Own, c.own);
    }
  }
  // A value that is not a number does not stop an integer lookup; a string lookup takes it.
  std::int32_t width = 0;
  EXPECT_EQ(keys.FindInteger(ini.SectionIndex("ROOT"), "WIDTH", width).Value, nullptr);
  EXPECT_EQ(*keys.FindString(ini.SectionIndex("ROOT"), "WIDTH").Value, "abc");
  ASSERT_NE(keys.FindInteger(ini.SectionIndex("GRANDCHILD"), "WIDTH", width).Value, nullptr);
  EXPECT_EQ(width, 4);
}

}  // namespace
}  // namespace kestrune::skin
