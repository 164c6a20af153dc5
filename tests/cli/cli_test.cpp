// kestrune-cli run as a user would run it, checking what it prints and the bytes it writes.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <regex>

#include "extractor/ip_text.h"

#include "tests/support/build_path.h"
#include "tests/support/process_run.h"
#include "tests/support/temp_dir.h"

namespace kestrune {
namespace {

std::string CliPath() {
  return test::BuildPath(KESTRUNE_CLI_PATH);
}

// The address list text of `count` addresses from `first`.
std::string AddressText(const std::string& first, std::uint32_t count) {
  std::string text;
  for (std::uint32_t i = 0; i < count; ++i)
    text += IPToStr(StrToIP(first) + i) + "\r\n";
  return text;
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

TEST_F(CliTest, NamedOutputIsCreatedAndNeverOverwritten) {
  work.Write("prefix_list.txt", "10.0.0.0/31\n");
  const std::string target = out.Folder() + "addresses.txt";
  const auto result = Run({"--out", target});
  EXPECT_EQ(result.exit_code, 0) << result.err;
  EXPECT_EQ(test::ReadFileBytes(target), "10.0.0.0\r\n10.0.0.1\r\n");
  EXPECT_TRUE(result.out.ends_with("ALL DONE. Output file: " + target + "\n")) << result.out;

  work.Write("prefix_list.txt", "10.0.1.0/31\n");
  const auto again = Run({"--out", target});
  EXPECT_EQ(again.exit_code, 1);
  EXPECT_TRUE(again.err.starts_with("Error: Cannot create file \"" + target + "\".")) << again.err;
  EXPECT_EQ(test::ReadFileBytes(target), "10.0.0.0\r\n10.0.0.1\r\n");

  const auto missing_folder = Run({"--out", out.Folder() + "no-such-folder/a.txt"});
  EXPECT_EQ(missing_folder.exit_code, 1);
  EXPECT_TRUE(missing_folder.err.starts_with("Error: Cannot create file")) << missing_folder.err;
}

TEST_F(CliTest, JobsSetTheTasksOfALargeBlock) {
  work.Write("prefix_list.txt", "10.0.0.0/16\n");
  for (const char* jobs : {"1", "3", "256"}) {
    SCOPED_TRACE(jobs);
    const test::TempDir folder;
    const auto result = Run({"--jobs", jobs, "--out", folder.Folder() + "a.txt"});
    EXPECT_EQ(result.exit_code, 0) << result.err;
    EXPECT_EQ(test::ReadFileBytes(folder.path() / "a.txt"), AddressText("10.0.0.0", 65536));
  }
}

TEST_F(CliTest, BadUsageExitsTwoAndHelpExplains) {
  for (const auto& arguments : std::vector<std::vector<std::string>>{{"--bogus"},
                                                                     {"--list"},
                                                                     {"--out-dir", ""},
                                                                     {"--out", ""},
                                                                     {"prefix_list.txt"},
                                                                     {"--jobs", "0"},
                                                                     {"--jobs", "257"},
                                                                     {"--jobs", "-1"},
                                                                     {"--jobs", "+4"},
                                                                     {"--jobs", "x"}}) {
    SCOPED_TRACE(testing::PrintToString(arguments));
    const auto result = Run(arguments);
    EXPECT_EQ(result.exit_code, 2);
    EXPECT_NE(result.err.find("Usage: kestrune-cli"), std::string::npos);
  }
  const auto help = Run({"--help"});
  EXPECT_EQ(help.exit_code, 0);
  for (const char* topic : {"--list FILE", "--out FILE", "--out -", "--jobs N", "must not exist",
                            "Examples:", "Exit status"})
    EXPECT_NE(help.out.find(topic), std::string::npos) << topic;
}

#ifndef _WIN32

// Pipelines, run through the shell as a user would type them.
class CliPipeTest : public CliTest {
 protected:
  // Runs `command` in the work folder with `cli` standing for the program and TMPDIR set to
  // `temp`; gives the exit status of the first command of a pipeline.
  test::ProcessResult Shell(const std::string& command) {
    std::string line = command;
    const std::string program = "'" + CliPath() + "'";
    for (std::size_t at = 0; (at = line.find("cli ", at)) != std::string::npos;
         at += program.size())
      line.replace(at, 3, program);
    const std::string script = "cd '" + work.Folder() + "' && export TMPDIR='" + temp.Folder() +
                               "' && " + line + " >'" + capture.Folder() + "out' 2>'" +
                               capture.Folder() + "err'; exit ${PIPESTATUS[0]}";
    const auto result = test::RunProcess("/bin/bash", {"-c", script}, work.Folder());
    return {result.exit_code, test::ReadFileBytes(capture.path() / "out"),
            test::ReadFileBytes(capture.path() / "err")};
  }

  test::TempDir temp;
  test::TempDir capture;
};

TEST_F(CliPipeTest, StandardStreamsGiveTheSameBytesAsFiles) {
  std::string list = "10.0.0.0/16\n\nnot a block\n";
  for (int i = 0; i < 300; ++i)
    list += "172.16." + std::to_string(i / 64) + "." + std::to_string(i % 64 * 4) + "/30\n";
  list += "255.255.255.255/32\n";
  work.Write("blocks.txt", list);
  ASSERT_EQ(Run({"--list", "blocks.txt", "--out", "files.txt"}).exit_code, 0);
  const std::string expected = test::ReadFileBytes(work.path() / "files.txt");
  ASSERT_EQ(expected, AddressText("10.0.0.0", 65536) + AddressText("172.16.0.0", 1200) +
                          "255.255.255.255\r\n");

  const auto piped = Shell("cat blocks.txt | cli --list - --out -");
  EXPECT_EQ(piped.exit_code, 0) << piped.err;
  EXPECT_EQ(piped.out, expected) << "standard output carries the addresses only";
  EXPECT_NE(piped.err.find("Done: 255.255.255.255/32\nALL DONE. Output file: standard output\n"),
            std::string::npos)
      << piped.err;

  const auto from_stdin = Shell("cli --list - --out from-stdin.txt < blocks.txt");
  EXPECT_EQ(from_stdin.exit_code, 0) << from_stdin.err;
  EXPECT_EQ(test::ReadFileBytes(work.path() / "from-stdin.txt"), expected);
  EXPECT_TRUE(test::FileNames(temp.path()).empty());
}

TEST_F(CliPipeTest, ClosedPipeEndsTheRunQuietlyWithoutTempFiles) {
  std::string list;
  for (int i = 0; i < 64; ++i)
    list += "10." + std::to_string(i) + ".0.0/16\n";
  work.Write("prefix_list.txt", list);
  const auto result = Shell("cli --out - | head -n 2");
  EXPECT_EQ(result.exit_code, 0) << result.err;
  EXPECT_EQ(result.out, "10.0.0.0\r\n10.0.0.1\r\n");
  EXPECT_EQ(result.err.find("Error"), std::string::npos) << result.err;
  EXPECT_EQ(result.err.find("ALL DONE"), std::string::npos) << result.err;
  EXPECT_TRUE(test::FileNames(temp.path()).empty());
}

// A failed worker: the log shows it, standard error repeats it, the exit status is 1 and the last
// line says what the output lacks.
TEST_F(CliPipeTest, FailedWorkerExitsOneAndSaysHowManyBlocksAreIncomplete) {
  work.Write("prefix_list.txt", "10.0.0.0/16\n10.1.0.0/30\n");
  work.Write("not-a-folder", "");
  const auto result = Shell("TMPDIR='" + work.Folder() + "not-a-folder' cli --jobs 2 --out a.txt");
  EXPECT_EQ(result.exit_code, 1);
  for (const char* task : {"ERROR: Task 0 error: Cannot create file", "ERROR: Task 1 error:"}) {
    EXPECT_NE(result.out.find(task), std::string::npos) << result.out;
    EXPECT_NE(result.err.find(task), std::string::npos) << result.err;
  }
  EXPECT_TRUE(
      result.err.ends_with("kestrune-cli: 1 block is incomplete: 65536 addresses are "
                           "missing from the output (see the ERROR lines)\n"))
      << result.err;
  EXPECT_EQ(test::ReadFileBytes(work.path() / "a.txt"), AddressText("10.1.0.0", 4));
}

// Two runs started together into one folder: each writes a file of its own, whole.
TEST_F(CliPipeTest, RunsInTheSameSecondWriteFilesOfTheirOwn) {
  work.Write("a.txt", "10.0.0.0/16\n");
  work.Write("b.txt", "10.1.0.0/16\n");
  std::filesystem::create_directory(work.path() / "out");
  const auto result = Shell(
      "{ cli --list a.txt --out-dir out & cli --list b.txt --out-dir out; wait; } >/dev/null");
  EXPECT_EQ(result.exit_code, 0) << result.err;
  std::vector<std::string> contents;
  for (const auto& name : test::FileNames(work.path() / "out")) {
    EXPECT_TRUE(std::regex_match(name, std::regex("[0-9]{14}(-2)?_IPs\\.txt"))) << name;
    contents.push_back(test::ReadFileBytes(work.path() / "out" / name));
  }
  std::sort(contents.begin(), contents.end());
  EXPECT_EQ(contents, (std::vector<std::string>{AddressText("10.0.0.0", 65536),
                                                AddressText("10.1.0.0", 65536)}));
}

// Ctrl+C and termination: the output ends with a complete block, no temp file stays, and standard
// error says how many blocks the output holds.
TEST_F(CliPipeTest, InterruptAndTerminationStopCleanly) {
  // Two million single addresses: long enough a run to be interrupted halfway.
  constexpr std::uint32_t kLines = 2000000;
  std::string list;
  for (std::uint32_t i = 0; i < kLines; ++i)
    list += IPToStr(StrToIP("10.0.0.0") + i) + "/32\n";
  work.Write("prefix_list.txt", list);
  for (const auto& [signal, status] : {std::pair{"INT", 130}, std::pair{"TERM", 143}}) {
    SCOPED_TRACE(signal);
    std::filesystem::remove(work.path() / "a.txt");
    const auto result =
        Shell(std::string("{ cli --out a.txt >/dev/null & pid=$!; ") +
              "while [ ! -s a.txt ]; do sleep 0.01; done; kill -" + signal + " $pid; wait $pid; }");
    EXPECT_EQ(result.exit_code, status) << result.err;
    const std::string output = test::ReadFileBytes(work.path() / "a.txt");
    std::smatch held;
    ASSERT_TRUE(std::regex_search(
        result.err, held,
        std::regex("kestrune-cli: stopped; the output holds ([0-9]+) complete blocks? and no "
                   "temp file is left\n$")))
        << result.err;
    const auto blocks = static_cast<std::uint32_t>(std::stoul(held[1]));
    EXPECT_GE(blocks, 1u);
    EXPECT_LT(blocks, kLines);
    const std::string expected = AddressText("10.0.0.0", blocks);
    EXPECT_EQ(output.size(), expected.size());
    EXPECT_TRUE(output == expected) << "the output holds exactly the complete blocks";
    EXPECT_TRUE(test::FileNames(temp.path()).empty());
  }
}

// A file system too small for the output: a tmpfs of its own, where the test may mount one. The
// output is cut back to its last complete block; a block's temp files are kept and named.
TEST_F(CliPipeTest, FullFileSystemCutsTheOutputBackToItsLastCompleteBlock) {
  const test::TempDir disk;
  if (std::system(("mount -t tmpfs -o size=64k kestrune-test '" + disk.Folder() + "' 2>/dev/null")
                      .c_str()) != 0) {
    GTEST_SKIP() << "cannot mount a small tmpfs here";
  }
  std::string small_blocks;
  std::vector<std::string> small_texts;
  for (int i = 0; i < 64; ++i) {
    small_blocks += "10.1." + std::to_string(i) + ".0/24\n";
    small_texts.push_back(AddressText("10.1." + std::to_string(i) + ".0", 256));
  }
  const struct {
    const char* name;
    std::string list;
    std::vector<std::string> blocks;
    bool temp_files_kept;
  } cases[] = {
      {"a block through the workers",
       "10.2.0.0/24\n10.0.0.0/16\n",
       {AddressText("10.2.0.0", 256), AddressText("10.0.0.0", 65536)},
       true},
      {"small blocks", small_blocks, small_texts, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    work.Write("prefix_list.txt", c.list);
    const std::string target = disk.Folder() + std::string(c.name).substr(0, 1) + ".txt";
    const auto result = Shell("cli --out '" + target + "'");
    EXPECT_EQ(result.exit_code, 1);
    EXPECT_TRUE(result.err.starts_with("Error: Cannot write to file \"" + target + "\".") &&
                result.err.find("No space left on device") != std::string::npos &&
                result.err.find("The output was cut back to the end of its last complete block.") !=
                    std::string::npos)
        << result.err;
    const std::string output = test::ReadFileBytes(target);
    std::string whole;
    for (const std::string& block : c.blocks) {
      if (whole.size() + block.size() > output.size())
        break;
      whole += block;
    }
    EXPECT_FALSE(output.empty());
    EXPECT_TRUE(output == whole) << "the output ends with a complete block";
    const auto kept = test::FileNames(temp.path());
    EXPECT_EQ(!kept.empty(), c.temp_files_kept);
    for (const auto& name : kept) {
      EXPECT_NE(result.err.find(name), std::string::npos) << result.err;
      std::filesystem::remove(temp.path() / name);
    }
    std::filesystem::remove(target);
  }
  EXPECT_EQ(std::system(("umount '" + disk.Folder() + "'").c_str()), 0);
}

// A folder or a named pipe given as the list is named as such.
TEST_F(CliTest, ListThatIsAFolderOrAPipeIsNamedAsSuch) {
  std::filesystem::create_directory(work.path() / "folder");
  const bool pipe_made =
      std::system(("mkfifo '" + work.Folder() + "pipe' 2>/dev/null").c_str()) == 0;
  const struct {
    const char* list;
    const char* what;
  } cases[] = {{"folder", "a folder"}, {"pipe", "a named pipe"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.list);
    if (std::string(c.list) == "pipe" && !pipe_made)
      continue;
    const auto result = Run({"--list", c.list, "--out-dir", out.Folder()});
    EXPECT_EQ(result.exit_code, 1);
    EXPECT_EQ(result.err, "Error: The prefix list \"" + std::string(c.list) + "\" is " + c.what +
                              ", not a file.\n");
    EXPECT_TRUE(test::FileNames(out.path()).empty());
  }
}

#endif

}  // namespace
}  // namespace kestrune
