// kestrune-cli run as a user would run it, checking what it prints and the bytes it writes.

#include <gtest/gtest.h>

#include <regex>

#include "tests/support/build_path.h"
#include "tests/support/process_run.h"
#include "tests/support/temp_dir.h"

namespace kestrune {
namespace {

std::string CliPath() {
  return test::BuildPath(KESTRUNE_CLI_PATH);
}

class CliTest : public testing::Test {
 protected:
  test::ProcessResult Run(const std::vector<std::string>& arguments) {
    return test::RunProcess(CliPath(), arguments, work.Folder());
  }
  // The one output file in `out`, checking its name.
  std::string OutputName() {
    const auto names = test::FileNames(out.path());
    EXPECT_EQ(names.size(), 1u);
    if (names.size() != 1)
      return "";
    EXPECT_TRUE(std::regex_match(names[0], std::regex("[0-9]{14}_IPs\\.txt"))) << names[0];
    return names[0];
  }

  test::TempDir work;
  test::TempDir out;
};

TEST_F(CliTest, RunsTheListAndLogsEveryLine) {
  work.Write("prefix_list.txt", "10.0.0.5/30\r\n\r\nbad\n1.2.3.4/32\n10.0.0.0/8");
  const auto result = Run({"--out-dir", out.Folder()});
  EXPECT_EQ(result.exit_code, 0) << result.err;
  const std::string name = OutputName();
  EXPECT_EQ(result.out,
            "Processing: 10.0.0.5/30\n"
            "Done: 10.0.0.5/30\n"
            "Invalid format (no /): bad\n"
            "Processing: 1.2.3.4/32\n"
            "Done: 1.2.3.4/32\n"
            "10.0.0.0/8 -> BLOCKED (prefix 8 <= 15)\n"
            "ALL DONE. Output file: " +
                out.Folder() + name + "\n");
  EXPECT_EQ(result.err, "") << "figures go to stderr only when it is a terminal";
  EXPECT_EQ(test::ReadFileBytes(out.path() / name),
            "10.0.0.5\r\n10.0.0.6\r\n10.0.0.7\r\n10.0.0.8\r\n1.2.3.4\r\n");
}

TEST_F(CliTest, NamedListAndOutputInTheCurrentFolderByDefault) {
  work.Write("blocks.txt", "192.168.1.0/24\n");
  const auto result = Run({"--list", "blocks.txt"});
  EXPECT_EQ(result.exit_code, 0) << result.err;
  const auto names = test::FileNames(work.path());
  ASSERT_EQ(names.size(), 2u);
  EXPECT_EQ(names[1], "blocks.txt");
  const std::string output = test::ReadFileBytes(work.path() / names[0]);
  EXPECT_TRUE(output.starts_with("192.168.1.0\r\n192.168.1.1\r\n"));
  EXPECT_TRUE(output.ends_with("\r\n192.168.1.255\r\n"));
  EXPECT_EQ(output.size(), 256u * 12 + 10 * 1 + 90 * 2 + 156 * 3);
}

TEST_F(CliTest, MissingListIsReportedWithExitOne) {
  const auto result = Run({"--out-dir", out.Folder()});
  EXPECT_EQ(result.exit_code, 1);
  EXPECT_EQ(result.out, "");
  EXPECT_EQ(result.err,
            "File \"prefix_list.txt\" tidak ditemukan. Letakkan file ini di folder aplikasi "
            "(exe).\n");
  EXPECT_TRUE(test::FileNames(out.path()).empty());
}

TEST_F(CliTest, RunEndingEarlyKeepsWhatWasWrittenAndExitsOne) {
  work.Write("prefix_list.txt", "10.0.0.0/31\n255.255.255.255/31\n");
  const auto result = Run({"--out-dir", out.Folder()});
  EXPECT_EQ(result.exit_code, 1);
  EXPECT_EQ(result.err, "Error: Integer overflow.\n");
  EXPECT_EQ(test::ReadFileBytes(out.path() / OutputName()), "10.0.0.0\r\n10.0.0.1\r\n");
}

TEST_F(CliTest, UnwritableOutputFolderExitsOne) {
  work.Write("prefix_list.txt", "10.0.0.0/31\n");
  const auto result = Run({"--out-dir", out.Write("file", "")});
  EXPECT_EQ(result.exit_code, 1);
  EXPECT_TRUE(result.err.starts_with("Error: Cannot create file")) << result.err;
}

TEST_F(CliTest, BadUsageExitsTwoAndHelpExplains) {
  for (const auto& arguments : std::vector<std::vector<std::string>>{
           {"--bogus"}, {"--list"}, {"--out-dir", ""}, {"prefix_list.txt"}}) {
    SCOPED_TRACE(testing::PrintToString(arguments));
    const auto result = Run(arguments);
    EXPECT_EQ(result.exit_code, 2);
    EXPECT_NE(result.err.find("Usage: kestrune-cli"), std::string::npos);
  }
  const auto help = Run({"--help"});
  EXPECT_EQ(help.exit_code, 0);
  EXPECT_NE(help.out.find("Exit status"), std::string::npos);
}

}  // namespace
}  // namespace kestrune
