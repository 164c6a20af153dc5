#include "extractor/block_workers.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <set>

#include "extractor/ip_text.h"
#include "tests/extractor/fake_services.h"
#include "tests/support/temp_dir.h"

namespace kestrune {
namespace {

using Slices = std::vector<TPair>;

TEST(SplitBlock, CutsNearEqualContiguousSlices) {
  const struct {
    std::uint64_t total;
    int cpus;
    Slices slices;
  } cases[] = {
      {1, 4, {{0, 0}}},
      {2, 8, {{0, 0}, {1, 1}}},
      {65536,
       6,
       {{0, 10921},
        {10922, 21844},
        {21845, 32767},
        {32768, 43689},
        {43690, 54612},
        {54613, 65535}}},
      {256, 1, {{0, 255}}},
      {256, 0, {{0, 255}}},
      {256, -3, {{0, 255}}},
      {4, 3, {{0, 0}, {1, 1}, {2, 3}}},
  };
  for (const auto& [total, cpus, slices] : cases) {
    SCOPED_TRACE(testing::Message() << total << " addresses on " << cpus << " processors");
    EXPECT_EQ(SplitBlock(total, cpus), slices);
  }
}

class BlockTasksTest : public testing::Test {
 protected:
  void SetUp() override { services.temp_folder = temp.Folder(); }

  // The lines of every temp file the block finished, keyed by task.
  std::vector<std::string> FinishedLines() {
    std::vector<std::string> lines;
    auto files = state.GlobalTempFiles;
    std::sort(files.begin(), files.end(),
              [](const auto& a, const auto& b) { return a.TaskID < b.TaskID; });
    for (const auto& file : files) {
      const std::string bytes = test::ReadFileBytes(file.Path);
      EXPECT_TRUE(bytes.empty() || bytes.ends_with("\r\n")) << file.Path;
      std::size_t start = 0;
      for (std::size_t end; (end = bytes.find("\r\n", start)) != std::string::npos;
           start = end + 2) {
        lines.push_back(bytes.substr(start, end - start));
      }
      EXPECT_EQ(start, bytes.size()) << "bytes after the last line break in " << file.Path;
    }
    return lines;
  }

  test::TempDir temp;
  test::FakeServices services;
  TExtractRunState state;
  std::atomic<int> created{0};
};

TEST_F(BlockTasksTest, WritesEveryAddressOnceInSliceOrder) {
  services.processors = 3;
  const std::uint32_t start = StrToIP("10.0.255.250");
  RunBlockTasks(state, start, 70000, services);

  ASSERT_EQ(state.GlobalTempFiles.size(), 3u);
  EXPECT_TRUE(state.Exceptions.empty());
  std::set<std::string> names;
  for (const auto& file : state.GlobalTempFiles) {
    const std::string name = file.Path.substr(temp.Folder().size());
    EXPECT_EQ(name.size(), 3 + 36 + 4) << name;
    EXPECT_TRUE(name.starts_with("ip_") && name.ends_with(".tmp")) << name;
    names.insert(name);
  }
  EXPECT_EQ(names.size(), 3u);

  const auto lines = FinishedLines();
  ASSERT_EQ(lines.size(), 70000u);
  for (std::uint32_t i = 0; i < lines.size(); ++i) {
    ASSERT_EQ(lines[i], IPToStr(start + i)) << i;
  }
}

TEST_F(BlockTasksTest, SingleAddressBlockEndsAtTheTopOfTheRange) {
  RunBlockTasks(state, 0xFFFFFFFFu, 1, services);
  ASSERT_EQ(state.GlobalTempFiles.size(), 1u);
  EXPECT_EQ(test::ReadFileBytes(state.GlobalTempFiles[0].Path), "255.255.255.255\r\n");
}

TEST_F(BlockTasksTest, UnwritableTempFolderFailsEveryTaskAndLeavesNoFile) {
  services.temp_folder = temp.Write("not-a-folder", "x");
  services.processors = 4;
  RunBlockTasks(state, 0, 256, services);
  EXPECT_TRUE(state.GlobalTempFiles.empty());
  ASSERT_EQ(state.Exceptions.size(), 4u);
  std::set<std::string> prefixes;
  for (const auto& text : state.Exceptions) {
    prefixes.insert(text.substr(0, 14));
    EXPECT_NE(text.find("Cannot create file"), std::string::npos) << text;
  }
  EXPECT_EQ(prefixes, (std::set<std::string>{
                          "Task 0 error: ", "Task 1 error: ", "Task 2 error: ", "Task 3 error: "}));
}

TEST_F(BlockTasksTest, WriteFailingMidwayDeletesThatTasksFileOnly) {
  services.processors = 2;
  // The second task's file fills up after its first write of a little over 64 KiB.
  services.on_open = [this](const std::string& path,
                            platform::OpenMode mode) -> std::unique_ptr<platform::Stream> {
    if (mode == platform::OpenMode::kCreateExclusive && created.fetch_add(1) == 1) {
      return std::make_unique<test::FillingStream>(platform::OpenFile(path, mode), 70000);
    }
    return nullptr;
  };
  RunBlockTasks(state, 0, 65536, services);
  ASSERT_EQ(state.Exceptions.size(), 1u);
  EXPECT_NE(state.Exceptions[0].find(" error: There is not enough space on the disk"),
            std::string::npos)
      << state.Exceptions[0];
  ASSERT_EQ(state.GlobalTempFiles.size(), 1u);
  EXPECT_EQ(test::FileNames(temp.path()).size(), 1u) << "the failed task's file stays behind";
  EXPECT_EQ(FinishedLines().size(), 32768u);
}

TEST_F(BlockTasksTest, NoGuidEndsTheBlockWithThatError) {
  services.guid = []() -> std::string { throw Error("Cannot create a GUID"); };
  EXPECT_THROW(
      {
        try {
          RunBlockTasks(state, 0, 16, services);
        } catch (const Error& error) {
          EXPECT_STREQ(error.what(), "Cannot create a GUID");
          throw;
        }
      },
      Error);
  EXPECT_TRUE(test::FileNames(temp.path()).empty());
}

// A block formed in memory holds what the temp files would; each task has a temp file of its own,
// left empty, which the tasks of the next block take over, and which take the slices when asked.
TEST_F(BlockTasksTest, BlockFormedInMemoryHoldsTheSlicesAndKeepsItsTempFilesEmpty) {
  services.processors = 3;
  const std::uint32_t start = StrToIP("10.0.255.250");
  const auto text_of = [](std::uint32_t first, std::uint32_t count) {
    std::string text;
    for (std::uint32_t i = 0; i < count; ++i)
      text += IPToStr(first + i) + "\r\n";
    return text;
  };
  platform::ByteBuffer text;
  TSpareTempFiles spares;
  {
    TFormedBlock block = FormBlockInMemory(state, text, spares, start, 70000, services);
    EXPECT_TRUE(state.Exceptions.empty());
    std::string joined;
    for (const auto& slice : block.Slices) {
      EXPECT_TRUE(slice.Formed);
      joined += slice.Text;
    }
    EXPECT_TRUE(joined == text_of(start, 70000));
    const auto names = test::FileNames(temp.path());
    ASSERT_EQ(names.size(), 3u);
    for (const auto& name : names)  // held open, which on Windows keeps others from reading
      EXPECT_EQ(std::filesystem::file_size(temp.path() / name), 0u) << name;
    KeepSpareTempFiles(block, spares);
  }
  const auto spare_names = test::FileNames(temp.path());
  EXPECT_EQ(spare_names.size(), 3u) << "kept for the next block";

  TFormedBlock next = FormBlockInMemory(state, text, spares, StrToIP("1.2.3.4"), 16, services);
  EXPECT_EQ(test::FileNames(temp.path()), spare_names) << "taken over, none made";
  MoveSlicesToTempFiles(state, next);
  EXPECT_EQ(state.GlobalTempFiles.size(), 3u);
  std::string lines;
  for (const auto& line : FinishedLines())
    lines += line + "\r\n";
  EXPECT_EQ(lines, text_of(StrToIP("1.2.3.4"), 16));
  for (const auto& file : state.GlobalTempFiles)
    platform::DeleteFileOrThrow(file.Path);
  spares.DeleteAll();
  EXPECT_TRUE(test::FileNames(temp.path()).empty());
}

TEST_F(BlockTasksTest, BlockFormedInMemoryFailsAsTheWorkersDoWithoutATempFolder) {
  services.temp_folder = temp.Write("not-a-folder", "x");
  services.processors = 2;
  platform::ByteBuffer text;
  TSpareTempFiles spares;
  const TFormedBlock block = FormBlockInMemory(state, text, spares, 0, 256, services);
  for (const auto& slice : block.Slices)
    EXPECT_FALSE(slice.Formed);
  ASSERT_EQ(state.Exceptions.size(), 2u);
  for (const auto& error : state.Exceptions) {
    EXPECT_TRUE(error.starts_with("Task ")) << error;
    EXPECT_NE(error.find(" error: Cannot create file"), std::string::npos) << error;
  }
  EXPECT_EQ(test::FileNames(temp.path()), std::vector<std::string>{"not-a-folder"});
}

}  // namespace
}  // namespace kestrune
