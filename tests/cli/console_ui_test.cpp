#include "cli/console_ui.h"

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace kestrune::cli
