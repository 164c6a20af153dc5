#include "app/taskbar_progress.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/recording_taskbar_button.h"

namespace kestrune {
namespace {

using Calls = test::TaskbarCalls;
using RecordingButton = test::RecordingTaskbarButton;

TEST(TaskbarProgress, FollowsTheRunAndEndsClear) {
  Calls calls;
  TaskbarProgress progress;
  progress.Attach(std::make_unique<RecordingButton>(calls));
  EXPECT_EQ(calls, (Calls{"none"}));
  calls.clear();

  progress.RunStarted();
  progress.SetMaximum(3);
  progress.SetPosition(1);
  progress.BlockIncomplete();
  progress.SetPosition(2);
  progress.BlockIncomplete();  // already in the error state
  progress.SetPosition(3);
  progress.RunEnded();
  EXPECT_EQ(calls, (Calls{"normal", "0/3", "1/3", "error", "2/3", "3/3", "none"}));

  // The next run starts without the last one's error.
  calls.clear();
  progress.RunStarted();
  progress.SetMaximum(1);
  progress.SetPosition(1);
  progress.RunEnded();
  EXPECT_EQ(calls, (Calls{"normal", "0/1", "1/1", "none"}));
}

TEST(TaskbarProgress, AButtonAnnouncedDuringARunShowsItAtOnce) {
  struct Case {
    const char* name;
    bool incomplete;
    Calls calls;
  };
  const Case cases[] = {{"running", false, {"normal", "2/5"}},
                        {"with an incomplete block", true, {"error", "2/5"}}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Calls calls;
    TaskbarProgress progress;
    progress.RunStarted();
    progress.SetMaximum(5);
    progress.SetPosition(2);
    if (c.incomplete)
      progress.BlockIncomplete();
    EXPECT_FALSE(progress.Attached());
    progress.Attach(std::make_unique<RecordingButton>(calls));
    EXPECT_EQ(calls, c.calls);
  }
}

TEST(TaskbarProgress, ShowsNoCountForAnEmptyListOrAPositionPastTheEnd) {
  Calls calls;
  TaskbarProgress progress;
  progress.Attach(std::make_unique<RecordingButton>(calls));
  calls.clear();
  progress.RunStarted();
  progress.SetMaximum(0);  // a list without a line
  progress.SetPosition(0);
  progress.RunEnded();
  progress.SetMaximum(2);
  progress.SetPosition(7);
  EXPECT_EQ(calls, (Calls{"normal", "none"})) << "no value outside a run";
  calls.clear();
  progress.RunStarted();
  progress.SetMaximum(2);
  progress.SetPosition(7);
  EXPECT_EQ(calls, (Calls{"normal", "0/2", "2/2"}));
}

TEST(TaskbarProgress, WithoutAButtonTheRunGoesOnUnchanged) {
  TaskbarProgress progress;
  progress.RunStarted();
  progress.SetMaximum(4);
  progress.SetPosition(4);
  progress.BlockIncomplete();
  progress.RunEnded();
  EXPECT_FALSE(progress.Attached());
}

}  // namespace
}  // namespace kestrune
