#include "extractor/run_driver.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <regex>
#include <thread>

#include "extractor/ip_text.h"
#include "extractor/prefix_list.h"
#include "tests/extractor/fake_services.h"
#include "tests/support/temp_dir.h"

namespace kestrune {
namespace {

using Events = std::vector<std::string>;

// Records every step a run shows, in order.
class RecordingUi final : public RunUi {
 public:
  void ClearLog() override { events.push_back("clear"); }
  void AppendLog(std::string_view line) override {
    events.push_back("log " + std::string(line));
    log.emplace_back(line);
  }
  void SetLabel(RunLabel label, std::string_view text) override {
    labels[static_cast<int>(label)] = text;
    events.push_back("label " + std::string(text));
  }
  void SetProgressMaximum(int maximum) override {
    max = maximum;
    events.push_back("max " + std::to_string(maximum));
  }
  void SetProgressPosition(int position) override {
    pos = position;
    events.push_back("pos " + std::to_string(position));
  }
  void BlockIncomplete() override { events.push_back("incomplete"); }
  void ShowMessage(std::string_view text) override {
    events.push_back("message " + std::string(text));
  }
  void ShowErrorBox(std::string_view text) override {
    events.push_back("error " + std::string(text));
  }

  Events events;
  Events log;
  std::string labels[4] = {"Total IPs: 0", "Remaining: 0", "Speed: 0 IPs/sec", "ETA: 00:00:00"};
  int max = 100;
  int pos = 0;
};

std::string AddressLines(const std::string& first, std::uint32_t count) {
  std::string text;
  for (std::uint32_t i = 0; i < count; ++i)
    text += IPToStr(StrToIP(first) + i) + "\r\n";
  return text;
}

class RunTest : public testing::Test {
 protected:
  void SetUp() override {
    services.temp_folder = temp.Folder();
    services.executable_folder = out.Folder();
    services.processors = 3;
    settings.list_path = work.Folder() + "prefix_list.txt";
  }
  RunOutcome Run(const std::string& list) {
    work.Write("prefix_list.txt", list);
    return ButtonExtractClick(settings, ui, services);
  }
  std::string Output() { return test::ReadFileBytes(out.path() / "08122026231507_IPs.txt"); }
  std::string AllDone() {
    return "ALL DONE. Output file: " + out.Folder() + "08122026231507_IPs.txt";
  }

  test::TempDir work;
  test::TempDir temp;
  test::TempDir out;
  test::FakeServices services;
  RunSettings settings;
  RecordingUi ui;
};

TEST_F(RunTest, JudgesEachKindOfLine) {
  const struct {
    std::string line;
    Events log;
    std::string output;
  } cases[] = {
      {"10.0.0.5/30",
       {"Processing: 10.0.0.5/30", "Done: 10.0.0.5/30"},
       "10.0.0.5\r\n10.0.0.6\r\n10.0.0.7\r\n10.0.0.8\r\n"},
      {" \t1.2.3.4/32\t ", {"Processing: 1.2.3.4/32", "Done: 1.2.3.4/32"}, "1.2.3.4\r\n"},
      {"10.0.0.0/8", {"10.0.0.0/8 -> BLOCKED (prefix 8 <= 15)"}, ""},
      {"10.0.0.0/-1", {"10.0.0.0/-1 -> BLOCKED (prefix -1 <= 15)"}, ""},
      {"10.0.0.0/15", {"10.0.0.0/15 -> BLOCKED (prefix 15 <= 15)"}, ""},
      {"10.0.0.0/33", {"Subnet mask harus 0..32: 10.0.0.0/33"}, ""},
      {"10.0.0.0/abc", {"Invalid subnet number: 10.0.0.0/abc"}, ""},
      {"10.0.0.0/", {"Invalid subnet number: 10.0.0.0/"}, ""},
      {"10.0.0.0/24/25", {"Invalid subnet number: 10.0.0.0/24/25"}, ""},
      {"10.0.0.0/24 home", {"Invalid subnet number: 10.0.0.0/24 home"}, ""},
      {"no slash here", {"Invalid format (no /): no slash here"}, ""},
      {"10.0.0.0/ 31",
       {"Processing: 10.0.0.0/ 31", "Done: 10.0.0.0/ 31"},
       "10.0.0.0\r\n10.0.0.1\r\n"},
      {"10.0.0.0 /24",
       {"Processing: 10.0.0.0 /24", "Invalid IP: 10.0.0.0  (Invalid IP octet: 0 )"},
       ""},
      {"/24", {"Processing: /24", "Invalid IP:  (Invalid IP format: )"}, ""},
      {"255.255.255.253/31",
       {"Processing: 255.255.255.253/31", "Done: 255.255.255.253/31"},
       "255.255.255.253\r\n255.255.255.254\r\n"},
      {"255.255.255.255/32",
       {"Processing: 255.255.255.255/32", "Done: 255.255.255.255/32"},
       "255.255.255.255\r\n"},
      {"255.255.0.0/16",
       {"Processing: 255.255.0.0/16", "Done: 255.255.0.0/16"},
       AddressLines("255.255.0.0", 65536)},
  };
  for (const auto& [line, log, output] : cases) {
    SCOPED_TRACE(line);
    const test::TempDir fresh_out;
    services.executable_folder = fresh_out.Folder();
    ui = RecordingUi();
    ASSERT_EQ(Run(line + "\r\n"), RunOutcome::kCompleted);
    Events expected = log;
    expected.push_back("ALL DONE. Output file: " + fresh_out.Folder() + "08122026231507_IPs.txt");
    EXPECT_EQ(ui.log, expected);
    EXPECT_EQ(test::ReadFileBytes(fresh_out.path() / "08122026231507_IPs.txt"), output);
  }
  EXPECT_TRUE(test::FileNames(temp.path()).empty()) << "temp files left behind";
}

TEST_F(RunTest, EmptyListGivesAnEmptyOutputAndStartLabels) {
  ASSERT_EQ(Run(""), RunOutcome::kCompleted);
  EXPECT_EQ(ui.events, (Events{"clear", "max 0", "pos 0", "label ETA: calculating...",
                               "label Speed: calculating...", "label Total IPs: 0",
                               "label Remaining: 0", "log " + AllDone()}));
  EXPECT_EQ(Output(), "");
}

TEST_F(RunTest, BlankLinesCountForTheProgressMaximumOnly) {
  ASSERT_EQ(Run("\r\n   \r\n\t\n"), RunOutcome::kCompleted);
  EXPECT_EQ(ui.max, 3);
  EXPECT_EQ(ui.pos, 0);
  EXPECT_EQ(ui.log, (Events{AllDone()}));
}

TEST_F(RunTest, InvalidLinesKeepSpeedAndEtaCalculating) {
  ASSERT_EQ(Run("a\r\nb/x\r\n1.1.1.1/8\r\n"), RunOutcome::kCompleted);
  EXPECT_EQ(ui.log.size(), 4u);
  EXPECT_EQ(ui.labels[2], "Speed: calculating...");
  EXPECT_EQ(ui.labels[3], "ETA: calculating...");
}

TEST_F(RunTest, FiguresFollowEachBlock) {
  services.clock = {{2026, 12, 8, 23, 15, 7, 0},  // the output file's name
                    {2026, 12, 8, 23, 15, 7, 0},  // the start
                    {2026, 12, 8, 23, 15, 17, 0},
                    {2026, 12, 8, 23, 15, 27, 0}};
  ASSERT_EQ(Run("10.0.0.0/24\r\nbad line\r\n10.0.1.0/24\r\n999.0.0.0/24\r\n"),
            RunOutcome::kCompleted);
  const Events expected = {"clear",
                           "max 4",
                           "pos 0",
                           "label ETA: calculating...",
                           "label Speed: calculating...",
                           "label Total IPs: 768",
                           "label Remaining: 768",
                           "log Processing: 10.0.0.0/24",
                           "log Done: 10.0.0.0/24",
                           "pos 1",
                           "label Remaining: 512",
                           "label Speed: 25.60 IPs/sec",
                           "label ETA: 00:00:30",
                           "log Invalid format (no /): bad line",
                           "log Processing: 10.0.1.0/24",
                           "log Done: 10.0.1.0/24",
                           "pos 2",
                           "label Remaining: 256",
                           "label Speed: 25.60 IPs/sec",
                           "label ETA: 00:00:06",
                           "log Processing: 999.0.0.0/24",
                           "log Invalid IP: 999.0.0.0 (Invalid IP octet: 999)",
                           "log " + AllDone()};
  EXPECT_EQ(ui.events, expected);
  EXPECT_EQ(Output(), AddressLines("10.0.0.0", 512));
}

TEST_F(RunTest, MissingListShowsTheMessageAndChangesNothing) {
  settings.list_path = "prefix_list.txt";
  const test::TempDir empty;
  settings.list_path = empty.Folder() + "prefix_list.txt";
  EXPECT_EQ(ButtonExtractClick(settings, ui, services), RunOutcome::kListMissing);
  EXPECT_EQ(ui.events, (Events{"message File \"" + settings.list_path +
                               "\" tidak ditemukan. Letakkan file ini di folder aplikasi (exe)."}));
  EXPECT_TRUE(test::FileNames(out.path()).empty());
  EXPECT_EQ(
      MissingListMessage("prefix_list.txt"),
      "File \"prefix_list.txt\" tidak ditemukan. Letakkan file ini di folder aplikasi (exe).");
}

TEST_F(RunTest, UnreadableListEndsBeforeTheLogIsEmptied) {
  services.on_open = [this](const std::string& path,
                            platform::OpenMode) -> std::unique_ptr<platform::Stream> {
    if (path == settings.list_path) {
      throw Error("Cannot open file \"prefix_list.txt\". The process cannot access the file");
    }
    return nullptr;
  };
  EXPECT_EQ(Run("10.0.0.0/30"), RunOutcome::kEndedByError);
  EXPECT_EQ(ui.events, (Events{"error Cannot open file \"prefix_list.txt\". The process cannot "
                               "access the file."}));
  EXPECT_TRUE(test::FileNames(out.path()).empty());
}

TEST_F(RunTest, UnwritableOutputFolderEndsTheRunAfterEmptyingTheLog) {
  services.executable_folder = out.Write("a-file", "");
  EXPECT_EQ(Run("10.0.0.0/30"), RunOutcome::kEndedByError);
  ASSERT_EQ(ui.events.size(), 2u);
  EXPECT_EQ(ui.events[0], "clear");
  EXPECT_TRUE(ui.events[1].starts_with("error Cannot create file")) << ui.events[1];
  EXPECT_TRUE(ui.events[1].ends_with(".")) << ui.events[1];
  EXPECT_TRUE(test::FileNames(temp.path()).empty());
}

TEST_F(RunTest, OverflowEndsTheRunKeepingEarlierBlocks) {
  EXPECT_EQ(Run("10.0.0.0/30\r\n255.255.255.255/31\r\n1.1.1.1/32\r\n"), RunOutcome::kEndedByError);
  EXPECT_EQ(ui.log, (Events{"Processing: 10.0.0.0/30", "Done: 10.0.0.0/30",
                            "Processing: 255.255.255.255/31"}));
  EXPECT_EQ(ui.events.back(), "error Integer overflow.");
  EXPECT_EQ(Output(), AddressLines("10.0.0.0", 4));
  EXPECT_TRUE(test::FileNames(temp.path()).empty());
}

TEST_F(RunTest, UnwritableTempFolderLogsOneErrorPerTask) {
  settings.inline_block_limit = 0;
  services.temp_folder = temp.Write("not-a-folder", "");
  services.processors = 2;
  RunReport report;
  work.Write("prefix_list.txt", "10.0.0.0/30\r\n");
  ASSERT_EQ(ButtonExtractClick(settings, ui, services, &report), RunOutcome::kIncomplete);
  EXPECT_EQ(report.incomplete_blocks, 1u);
  EXPECT_EQ(report.missing_addresses, 4u);
  ASSERT_EQ(ui.log.size(), 5u);
  EXPECT_EQ(ui.log[0], "Processing: 10.0.0.0/30");
  for (int task : {1, 2}) {
    EXPECT_TRUE(ui.log[static_cast<std::size_t>(task)].starts_with("ERROR: Task ")) << ui.log[1];
    EXPECT_NE(ui.log[static_cast<std::size_t>(task)].find(" error: Cannot create file"),
              std::string::npos);
  }
  EXPECT_EQ(ui.log[3], "Done: 10.0.0.0/30");
  // Told once, after the block's errors and before its "Done: " line.
  const auto incomplete = std::find(ui.events.begin(), ui.events.end(), "incomplete");
  ASSERT_NE(incomplete, ui.events.end());
  EXPECT_TRUE((incomplete - 1)->starts_with("log ERROR: Task ")) << *(incomplete - 1);
  EXPECT_EQ(*(incomplete + 1), "log Done: 10.0.0.0/30");
  EXPECT_EQ(std::count(ui.events.begin(), ui.events.end(), "incomplete"), 1);
  // The block counts as done in the log and the progress, but the figures say what is missing.
  EXPECT_EQ(ui.labels[1], "Missing: 4 IPs in 1 incomplete block");
  EXPECT_EQ(ui.pos, 1);
  EXPECT_EQ(Output(), "");
}

// A temp-folder cleaner that removes a finished temp file before the merge.
TEST_F(RunTest, TempFileGoneBeforeTheMergeIsAnErrorOfItsBlock) {
  settings.inline_block_limit = 0;
  services.processors = 2;
  services.on_open = [](const std::string& path,
                        platform::OpenMode mode) -> std::unique_ptr<platform::Stream> {
    if (mode == platform::OpenMode::kCreateExclusive && path.ends_with(".tmp"))
      return std::make_unique<test::VanishingStream>(platform::OpenFile(path, mode), path);
    return nullptr;
  };
  EXPECT_EQ(Run("10.0.0.0/30\r\n"), RunOutcome::kIncomplete);
  ASSERT_EQ(ui.log.size(), 5u);
  for (std::size_t line : {1u, 2u}) {
    EXPECT_TRUE(ui.log[line].starts_with("ERROR: Task ")) << ui.log[line];
    EXPECT_TRUE(ui.log[line].ends_with(
        " was gone before the merge; its 2 addresses are missing from the output."))
        << ui.log[line];
  }
  EXPECT_EQ(ui.log[3], "Done: 10.0.0.0/30");
  EXPECT_EQ(ui.labels[1], "Missing: 4 IPs in 1 incomplete block");
  EXPECT_EQ(Output(), "");
}

// Ctrl+C or a termination request: the run ends at a block's end, with no temp file left.
TEST_F(RunTest, StopRequestEndsAtTheLastCompleteBlock) {
  settings.inline_block_limit = 256;
  const std::string output_path = out.Folder() + "08122026231507_IPs.txt";
  // Asked to stop while the workers of the block after the first large one write.
  std::atomic<bool> stop{false};
  const auto run_thread = std::this_thread::get_id();
  settings.stop_requested = [&] {
    if (std::this_thread::get_id() != run_thread &&
        platform::FileSize(output_path).value_or(0) > AddressLines("10.9.0.0", 4).size())
      stop = true;
    return stop.load();
  };
  RunReport report;
  work.Write("prefix_list.txt", "10.9.0.0/30\r\n10.0.0.0/16\r\n10.1.0.0/16\r\n10.2.0.0/30\r\n");
  EXPECT_EQ(ButtonExtractClick(settings, ui, services, &report), RunOutcome::kStopped);
  EXPECT_EQ(Output(), AddressLines("10.9.0.0", 4) + AddressLines("10.0.0.0", 65536));
  EXPECT_EQ(report.complete_blocks, 2u);
  EXPECT_EQ(ui.log.back(), "Processing: 10.1.0.0/16");
  EXPECT_EQ(ui.events.back().find("error"), std::string::npos) << "no error box for a stop";
  EXPECT_TRUE(test::FileNames(temp.path()).empty());
}

// Lists the run cannot take: what they are is said, and nothing is written or emptied.
TEST_F(RunTest, ListThatIsNotAFileOrTooLargeIsNamed) {
  const std::string folder = work.Folder() + "a-folder";
  std::filesystem::create_directory(folder);
  const std::string large = work.Write("large.txt", "");
  std::filesystem::resize_file(large, kMaxListBytes + 1);  // sparse: no disk space needed
  const struct {
    std::string path;
    std::string error;
  } cases[] = {
      {folder, "error The prefix list \"" + folder + "\" is a folder, not a file."},
#ifndef _WIN32
      {"/dev/null", "error The prefix list \"/dev/null\" is not a file."},
#endif
      {large, "error The prefix list \"" + large +
                  "\" is 67,108,865 bytes, more than the 67,108,864 bytes a list may have."},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.path);
    settings.list_path = c.path;
    ui = RecordingUi();
    EXPECT_EQ(ButtonExtractClick(settings, ui, services), RunOutcome::kEndedByError);
    EXPECT_EQ(ui.events, Events{c.error});
  }
  EXPECT_TRUE(test::FileNames(out.path()).empty());
}

// Small blocks are written on the run's thread and large ones through the worker tasks; which way
// a block goes must not show in the output or in anything the run reports, also when the run ends
// early: by a block past 255.255.255.255, or by a disk that fills up partway through a block.
TEST_F(RunTest, SmallBlockAndWorkerPathsGiveTheSameOutputAndSteps) {
  const std::string head =
      "10.1.0.0/16\r\nbad line\r\n192.168.0.0/24\r\n10.0.0.5/30\r\n1.2.3.4/32\r\n";
  const std::string tail = "255.255.255.252/30\r\n172.16.0.0/24\r\n255.255.255.255/32\r\n";
  const std::string complete = AddressLines("10.1.0.0", 65536) + AddressLines("192.168.0.0", 256) +
                               AddressLines("10.0.0.5", 4) + AddressLines("1.2.3.4", 1);
  const std::string all = complete + AddressLines("255.255.255.252", 4) +
                          AddressLines("172.16.0.0", 256) + "255.255.255.255\r\n";
  // The disk fills up in the middle of 172.16.0.0/24; the output is cut back to the block before.
  const std::size_t disk_budget = all.size() - 17 - 100 * 12;
  const std::string before_full = complete + AddressLines("255.255.255.252", 4);
  const struct {
    const char* name;
    std::string list;
    std::size_t disk_budget;  // 0: no limit
    RunOutcome outcome;
    std::string output;
    std::string last_log;
  } cases[] = {
      {"complete", head + tail, 0, RunOutcome::kCompleted, all, AllDone()},
      {"overflow", head + "255.255.255.255/31\r\n" + tail, 0, RunOutcome::kEndedByError, complete,
       "Processing: 255.255.255.255/31"},
      {"disk full", head + tail, disk_budget, RunOutcome::kEndedByError, before_full,
       "Processing: 172.16.0.0/24"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    services.on_open = [&](const std::string& path,
                           platform::OpenMode mode) -> std::unique_ptr<platform::Stream> {
      if (c.disk_budget > 0 && path.ends_with("_IPs.txt") &&
          mode == platform::OpenMode::kCreateNew) {
        return std::make_unique<test::FillingStream>(platform::OpenFile(path, mode), c.disk_budget);
      }
      return nullptr;
    };
    Events first_events;
    for (const std::uint64_t limit : {std::uint64_t{0}, kInlineBlockLimit, std::uint64_t{65536}}) {
      SCOPED_TRACE(testing::Message() << "written on the run's thread up to " << limit);
      settings.inline_block_limit = limit;
      std::filesystem::remove(out.path() / "08122026231507_IPs.txt");
      ui = RecordingUi();
      EXPECT_EQ(Run(c.list), c.outcome);
      EXPECT_EQ(Output(), c.output);
      ASSERT_FALSE(ui.log.empty());
      EXPECT_EQ(ui.log.back(), c.last_log);
      // Only the worker path has temp files to name in an error.
      for (std::string& event : ui.events)
        event = event.substr(0, event.find(" The addresses of the block are kept"));
      if (first_events.empty())
        first_events = ui.events;
      else
        EXPECT_EQ(ui.events, first_events);
    }
  }
}

// A full output disk: the output ends with its last complete block, and the temp files that hold
// the rest of the block are named in the error and kept, also where other temp files are removed.
TEST_F(RunTest, FullOutputDiskKeepsTheBlockInItsTempFilesAndNamesThem) {
  settings.inline_block_limit = 0;
  settings.remove_temp_files_on_error = true;
  services.processors = 2;
  services.on_open = [](const std::string& path,
                        platform::OpenMode mode) -> std::unique_ptr<platform::Stream> {
    if (path.ends_with("_IPs.txt") && mode == platform::OpenMode::kCreateNew)
      return std::make_unique<test::FillingStream>(platform::OpenFile(path, mode), 40 + 100);
    return nullptr;
  };
  EXPECT_EQ(Run("10.0.9.0/30\r\n10.0.0.0/24\r\n"), RunOutcome::kEndedByError);
  EXPECT_EQ(Output(), AddressLines("10.0.9.0", 4));
  const auto kept = test::FileNames(temp.path());
  ASSERT_EQ(kept.size(), 2u);
  std::string slices;
  for (const auto& name : kept) {
    EXPECT_NE(ui.events.back().find(temp.Folder() + name), std::string::npos) << ui.events.back();
    slices += test::ReadFileBytes(temp.path() / name);
  }
  EXPECT_EQ(slices.size(), AddressLines("10.0.0.0", 256).size()) << "no address lost";
  EXPECT_TRUE(ui.events.back().starts_with(
      "error There is not enough space on the disk The output was cut back to the end of its "
      "last complete block. The addresses of the block are kept in the temp files "))
      << ui.events.back();
}

// The steps of a run, with temp file names made alike and the "ERROR: " lines of a block (whose
// tasks end in no set order) sorted.
Events Comparable(Events events) {
  const std::regex guid("ip_[0-9A-F-]{36}\\.tmp");
  for (auto& event : events)
    event = std::regex_replace(event, guid, "ip_GUID.tmp");
  for (auto first = events.begin(); first != events.end();) {
    const auto is_error = [](const std::string& e) { return e.starts_with("log ERROR: "); };
    first = std::find_if(first, events.end(), is_error);
    const auto last = std::find_if_not(first, events.end(), is_error);
    std::sort(first, last);
    first = last;
  }
  return events;
}

// Large blocks formed in memory reach the output in one piece. Which way a block goes must not
// show in the output or in anything the run reports: also not when the temp folder cannot be
// written, when a block would run past 255.255.255.255, or when the disk fills up partway through
// a block, whose addresses then wait in its temp files, which the error names.
TEST_F(RunTest, LargeBlocksFormedInMemoryReportAsThroughTempFiles) {
  services.processors = 2;
  const std::string list =
      "10.1.0.0/16\r\nbad line\r\n192.168.0.0/24\r\n255.255.0.0/17\r\n1.2.3.4/32\r\n";
  const std::string large = AddressLines("10.1.0.0", 65536);
  const std::string all = large + AddressLines("192.168.0.0", 256) +
                          AddressLines("255.255.0.0", 32768) + AddressLines("1.2.3.4", 1);
  const std::string no_folder = temp.Folder() + "not-a-folder";
  const struct {
    const char* name;
    std::string list;
    std::size_t disk_budget;  // 0: no limit
    std::string temp_folder;
    RunOutcome outcome;
    std::string output;
    bool temp_files_kept;
  } cases[] = {
      {"complete", list, 0, temp.Folder(), RunOutcome::kCompleted, all, false},
      {"overflow", list + "255.255.255.255/31\r\n1.1.1.1/32\r\n", 0, temp.Folder(),
       RunOutcome::kEndedByError, all, false},
      {"disk full in a large block", list,
       large.size() + AddressLines("192.168.0.0", 256).size() + 5000, temp.Folder(),
       RunOutcome::kEndedByError, large + AddressLines("192.168.0.0", 256), true},
      {"no temp folder", list, 0, no_folder, RunOutcome::kIncomplete,
       AddressLines("192.168.0.0", 256) + AddressLines("1.2.3.4", 1), false},
  };
  temp.Write("not-a-folder", "");
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    services.temp_folder = c.temp_folder;
    services.on_open = [&](const std::string& path,
                           platform::OpenMode mode) -> std::unique_ptr<platform::Stream> {
      if (c.disk_budget > 0 && path.ends_with("_IPs.txt") &&
          mode == platform::OpenMode::kCreateNew) {
        return std::make_unique<test::FillingStream>(platform::OpenFile(path, mode), c.disk_budget);
      }
      return nullptr;
    };
    // Small blocks do not go through the tasks on the run's thread: compared at each limit.
    for (const std::uint64_t limit : {kInlineBlockLimit, std::uint64_t{0}}) {
      Events first_events;
      std::string first_output;
      for (const bool in_memory : {false, true}) {
        SCOPED_TRACE(testing::Message() << (in_memory ? "in memory" : "through temp files")
                                        << ", on the run's thread up to " << limit);
        settings.large_blocks_in_memory = in_memory;
        settings.inline_block_limit = limit;
        std::filesystem::remove(out.path() / "08122026231507_IPs.txt");
        ui = RecordingUi();
        const RunOutcome outcome = Run(c.list);
        const auto kept = test::FileNames(temp.path());
        for (const auto& name : kept) {
          if (name == "not-a-folder")
            continue;
          EXPECT_NE(ui.events.back().find(name), std::string::npos) << ui.events.back();
          std::filesystem::remove(temp.path() / name);
        }
        Events events = Comparable(ui.events);
        for (std::string& event : events)
          event = event.substr(0, event.find(" The addresses of the block are kept"));
        if (limit == kInlineBlockLimit) {
          EXPECT_EQ(outcome, c.outcome);
          EXPECT_TRUE(Output() == c.output) << Output().size() << " bytes, not " << c.output.size();
          EXPECT_EQ(kept.size() > 1, c.temp_files_kept);
        }
        if (!in_memory) {
          first_events = events;
          first_output = Output();
        } else {
          EXPECT_EQ(events, first_events);
          EXPECT_TRUE(Output() == first_output);
        }
      }
    }
  }
}

// A stop asked while the tasks of a large block form it in memory: the block is left out, and no
// temp file stays, the spares of earlier blocks included.
TEST_F(RunTest, StopWhileABlockIsFormedInMemoryKeepsTheCompleteBlocks) {
  settings.large_blocks_in_memory = true;
  settings.inline_block_limit = 256;
  const auto run_thread = std::this_thread::get_id();
  std::atomic<bool> stop{false};
  settings.stop_requested = [&] {
    // The tasks ask while the run's thread waits for them, so the log holds still meanwhile.
    if (std::this_thread::get_id() != run_thread && ui.log.back() == "Processing: 10.1.0.0/16")
      stop = true;
    return stop.load();
  };
  RunReport report;
  work.Write("prefix_list.txt", "10.9.0.0/30\r\n10.0.0.0/16\r\n10.1.0.0/16\r\n10.2.0.0/30\r\n");
  EXPECT_EQ(ButtonExtractClick(settings, ui, services, &report), RunOutcome::kStopped);
  EXPECT_TRUE(Output() == AddressLines("10.9.0.0", 4) + AddressLines("10.0.0.0", 65536));
  EXPECT_EQ(report.complete_blocks, 2u);
  EXPECT_EQ(ui.log.back(), "Processing: 10.1.0.0/16");
  EXPECT_TRUE(test::FileNames(temp.path()).empty());
}

TEST_F(RunTest, OutputIsOpenedOnceForTheWholeRun) {
  int output_opens = 0;
  services.on_open = [&](const std::string& path,
                         platform::OpenMode) -> std::unique_ptr<platform::Stream> {
    output_opens += path.ends_with("_IPs.txt") ? 1 : 0;
    return nullptr;
  };
  settings.inline_block_limit = 256;
  ASSERT_EQ(Run("10.0.0.0/24\r\n10.0.1.0/23\r\n10.0.4.0/24\r\n10.0.8.0/22\r\n"),
            RunOutcome::kCompleted);
  EXPECT_EQ(output_opens, 1) << "created and kept open";
  EXPECT_EQ(Output(), AddressLines("10.0.0.0", 256) + AddressLines("10.0.1.0", 512) +
                          AddressLines("10.0.4.0", 256) + AddressLines("10.0.8.0", 1024));
}

TEST_F(RunTest, NamedOutputMustNotExistYet) {
  settings.output_file = out.Write("taken.txt", "keep me");
  EXPECT_EQ(Run("10.0.0.0/30\r\n"), RunOutcome::kEndedByError);
  EXPECT_EQ(test::ReadFileBytes(out.path() / "taken.txt"), "keep me");
  EXPECT_TRUE(ui.events.back().starts_with("error Cannot create file")) << ui.events.back();

  settings.output_file = out.Folder() + "fresh.txt";
  ui = RecordingUi();
  ASSERT_EQ(Run("10.0.0.0/30\r\n"), RunOutcome::kCompleted);
  EXPECT_EQ(test::ReadFileBytes(out.path() / "fresh.txt"), AddressLines("10.0.0.0", 4));
  EXPECT_EQ(ui.log.back(), "ALL DONE. Output file: " + settings.output_file);
}

// A run never writes into a file it did not create: a taken dated name moves it on to the next
// free name with a counter, also when a link stands at the name.
TEST_F(RunTest, RunInTheSameSecondTakesTheNextFreeName) {
  ASSERT_EQ(Run("10.0.0.0/30"), RunOutcome::kCompleted);
  ASSERT_EQ(Run("10.0.1.0/31"), RunOutcome::kCompleted);
  EXPECT_EQ(Output(), AddressLines("10.0.0.0", 4));
  EXPECT_EQ(ui.log.back(), "ALL DONE. Output file: " + out.Folder() + "08122026231507-2_IPs.txt");
  EXPECT_EQ(test::ReadFileBytes(out.path() / "08122026231507-2_IPs.txt"),
            AddressLines("10.0.1.0", 2));

  const test::TempDir elsewhere;
  const std::string target = elsewhere.Write("target.txt", "keep me");
  std::error_code error;
  std::filesystem::create_symlink(target, out.path() / "08122026231507-3_IPs.txt", error);
  if (error)
    GTEST_SKIP() << "cannot make symbolic links: " << error.message();
  ASSERT_EQ(Run("10.0.2.0/32"), RunOutcome::kCompleted);
  EXPECT_EQ(ui.log.back(), "ALL DONE. Output file: " + out.Folder() + "08122026231507-4_IPs.txt");
  EXPECT_EQ(test::ReadFileBytes(target), "keep me");
  EXPECT_EQ(test::ReadFileBytes(out.path() / "08122026231507-4_IPs.txt"), "10.0.2.0\r\n");
}

TEST_F(RunTest, ReadsUtf16ListsAndKeepsTheirText) {
  ASSERT_EQ(Run(std::string("\xFF\xFE"
                            "1\0.\0"
                            "2\0.\0"
                            "3\0.\0"
                            "4\0/\0"
                            "3\0"
                            "2\0\r\0\n\0"
                            "\xE9\0",
                            28)),
            RunOutcome::kCompleted);
  EXPECT_EQ(ui.log, (Events{"Processing: 1.2.3.4/32", "Done: 1.2.3.4/32",
                            "Invalid format (no /): \xC3\xA9", AllDone()}));
}

}  // namespace
}  // namespace kestrune
