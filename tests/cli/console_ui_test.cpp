#include "cli/console_ui.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "tests/support/temp_dir.h"

namespace kestrune::cli {
namespace {

TEST(ConsoleUi, StatusLineShowsProgressAndFigures) {
  ConsoleUi ui(stdout, stderr, false);
  ui.SetProgressMaximum(4);
  ui.SetProgressPosition(1);
  ui.SetLabel(RunLabel::kTotalEstimated, "Total IPs: 768");
  ui.SetLabel(RunLabel::kETA, "ETA: 00:00:30");
  EXPECT_EQ(ui.StatusLine(),
            "[#####...............] 1/4  Total IPs: 768  Remaining: 0  Speed: 0 IPs/sec  "
            "ETA: 00:00:30");
  ui.SetProgressMaximum(0);
  EXPECT_EQ(ui.StatusLine().substr(0, 26), "[....................] 1/0");
}

std::string Contents(std::FILE* file) {
  std::fflush(file);
  std::rewind(file);
  std::string text;
  for (int c; (c = std::fgetc(file)) != EOF;)
    text += static_cast<char>(c);
  return text;
}

// Lines passed on in one piece reach the log whole and in order, gathered or not, and a failure
// among them is repeated on the status stream; "ERROR: " inside a line is no failure.
TEST(ConsoleUi, LinesInOnePieceReachTheLogAndFailuresTheStatusStream) {
  const struct {
    std::string lines;
    std::string status;
  } cases[] = {
      {"Processing: 1.2.3.4/32\nDone: 1.2.3.4/32\n", ""},
      {"Processing: 10.0.0.0/16\nERROR: Task 1 error: full\nDone: 10.0.0.0/16\n",
       "ERROR: Task 1 error: full\n"},
      {"ERROR: Task 0 error: gone\n", "ERROR: Task 0 error: gone\n"},
      {"Invalid format (no /): ERROR: x\n", ""},
      {std::string(70000, 'a') + "\n", ""},
  };
  const test::TempDir folder;
  for (const bool gather : {false, true}) {
    for (const auto& c : cases) {
      SCOPED_TRACE(testing::Message() << (gather ? "gathered: " : "") << c.lines.substr(0, 40));
      std::FILE* log = std::fopen((folder.path() / "log").string().c_str(), "w+b");
      std::FILE* status = std::fopen((folder.path() / "status").string().c_str(), "w+b");
      ASSERT_TRUE(log != nullptr && status != nullptr);
      {
        ConsoleUi ui(log, status, false, gather);
        ui.AppendLog("first");
        ui.AppendLogLines(c.lines);
        ui.AppendLog("last");
        ui.Finish();
      }
      EXPECT_EQ(Contents(log), "first\n" + c.lines + "last\n");
      EXPECT_EQ(Contents(status), c.status);
      std::fclose(log);
      std::fclose(status);
    }
  }
}

}  // namespace
}  // namespace kestrune::cli
