#include "extractor/output_merge.h"

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>

#include "extractor/block_workers.h"
#include "extractor/ip_text.h"
#include "platform/byte_buffer.h"
#include "tests/extractor/fake_services.h"
#include "tests/support/temp_dir.h"

namespace kestrune {
namespace {

TEST(OutputFileName, IsTheZeroPaddedLocalTime) {
  EXPECT_EQ(OutputFileName({2026, 12, 8, 23, 15, 7, 999}), "08122026231507_IPs.txt");
  EXPECT_EQ(OutputFileName({2027, 1, 2, 0, 0, 0, 0}), "02012027000000_IPs.txt");
}

class MergeTest : public testing::Test {
 protected:
  void SetUp() override {
    services.temp_folder = temp.Folder();
    services.executable_folder = out.Folder();
  }
  void AddTemp(int task, const std::string& name, const std::string& bytes) {
    state.GlobalTempFiles.push_back({task, temp.Write(name, bytes), 1});
  }

  test::TempDir temp;
  test::TempDir out;
  test::FakeServices services;
  TExtractRunState state;
};

TEST_F(MergeTest, PreparationCreatesANewFileAndLeavesATakenNameAlone) {
  PrepareOutputFile(state, out.Folder(), services);
  EXPECT_EQ(state.FinalFile, out.Folder() + "08122026231507_IPs.txt");
  EXPECT_EQ(test::ReadFileBytes(state.FinalFile), "");
  CloseOutput(state);

  out.Write("08122026231507_IPs.txt", "1.1.1.1\r\n");
  std::filesystem::create_directory(out.path() / "08122026231507-2_IPs.txt");
  PrepareOutputFile(state, out.Folder(), services);
  EXPECT_EQ(state.FinalFile, out.Folder() + "08122026231507-3_IPs.txt");
  EXPECT_EQ(test::ReadFileBytes(out.path() / "08122026231507_IPs.txt"), "1.1.1.1\r\n");
}

TEST_F(MergeTest, PreparationInAFolderThatIsAFileFails) {
  const std::string not_folder = out.Write("plain-file", "x");
  EXPECT_THROW(PrepareOutputFile(state, not_folder, services), Error);
}

#ifdef _WIN32
// A folder name Windows refuses: the error names the dated file, not the last counter tried.
TEST_F(MergeTest, PreparationInAFolderWithAnInvalidNameNamesTheDatedFile) {
  try {
    PrepareOutputFile(state, out.Folder() + "a\"b", services);
    FAIL() << "no error";
  } catch (const Error& error) {
    EXPECT_NE(std::string(error.what()).find("08122026231507_IPs.txt"), std::string::npos)
        << error.what();
  }
}
#endif

TEST_F(MergeTest, AppendsInSliceOrderDeletesAndSkipsMissingFiles) {
  PrepareOutputFile(state, out.Folder(), services);
  state.FSFinal->Write("0.0.0.1\r\n", 9);
  // Finished in the order 2, 0, 1; task 3's file has gone, and task 4's goes as the merge comes
  // to open it (a cleaner between a look and the open).
  AddTemp(2, "c.tmp", "0.0.0.4\r\n");
  AddTemp(0, "a.tmp", "0.0.0.2\r\n");
  state.GlobalTempFiles.push_back({3, temp.Folder() + "gone.tmp", 5});
  AddTemp(4, "late.tmp", "0.0.0.5\r\n");
  AddTemp(1, "b.tmp", "0.0.0.3\r\n");
  services.on_open = [](const std::string& path,
                        platform::OpenMode) -> std::unique_ptr<platform::Stream> {
    if (path.ends_with("late.tmp"))
      platform::DeleteFileQuietly(path);
    return nullptr;
  };

  EXPECT_EQ(MergeTempFiles(state, services), 3u);
  CloseOutput(state);
  EXPECT_EQ(test::ReadFileBytes(state.FinalFile), "0.0.0.1\r\n0.0.0.2\r\n0.0.0.3\r\n0.0.0.4\r\n");
  EXPECT_TRUE(state.GlobalTempFiles.empty());
  EXPECT_TRUE(test::FileNames(temp.path()).empty());
  EXPECT_EQ(state.Exceptions,
            (std::vector<std::string>{"Task 3 error: The temp file \"" + temp.Folder() +
                                          "gone.tmp\" was gone before the merge; its 5 addresses "
                                          "are missing from the output.",
                                      "Task 4 error: The temp file \"" + temp.Folder() +
                                          "late.tmp\" was gone before the merge; its 1 addresses "
                                          "are missing from the output."}));
}

TEST_F(MergeTest, CopiesLargeFilesByteForByte) {
  PrepareOutputFile(state, out.Folder(), services);
  std::string big;
  for (int i = 0; big.size() < 3 * kMergeBufferSize + 17; ++i)
    big += std::to_string(i) + "\r\n";
  AddTemp(0, "big.tmp", big);
  MergeTempFiles(state, services);
  EXPECT_EQ(test::ReadFileBytes(state.FinalFile), big);
}

TEST_F(MergeTest, NothingToAppendLeavesTheOutputUnopened) {
  state.FinalFile = out.Folder() + "never-made.txt";
  MergeTempFiles(state, services);
  EXPECT_EQ(services.opens.load(), 0);
  EXPECT_EQ(test::ReadFileBytes(state.FinalFile), "<missing>");
}

// A full disk partway through a block: the output is cut back to where the block began, and
// every temp file of the block is kept and named.
TEST_F(MergeTest, FailedWriteCutsTheBlockBackAndKeepsItsFiles) {
  services.on_open = [](const std::string& path,
                        platform::OpenMode mode) -> std::unique_ptr<platform::Stream> {
    if (path.ends_with("_IPs.txt"))
      return std::make_unique<test::FillingStream>(platform::OpenFile(path, mode), 15 + 12);
    return nullptr;
  };
  PrepareOutputFile(state, out.Folder(), services);
  state.FSFinal->Write("earlier block\r\n", 15);
  AddTemp(0, "a.tmp", "0.0.0.2\r\n");
  AddTemp(1, "b.tmp", "0.0.0.3\r\n");
  try {
    (void)MergeTempFiles(state, services);
    ADD_FAILURE() << "no error";
  } catch (const Error& error) {
    EXPECT_EQ(std::string(error.what()),
              "There is not enough space on the disk The output was cut back to the end of its "
              "last complete block. The addresses of the block are kept in the temp files \"" +
                  temp.Folder() + "a.tmp\", \"" + temp.Folder() + "b.tmp\".");
  }
  CloseOutput(state);
  EXPECT_EQ(test::ReadFileBytes(state.FinalFile), "earlier block\r\n");
  EXPECT_EQ(test::FileNames(temp.path()), (std::vector<std::string>{"a.tmp", "b.tmp"}));
  EXPECT_TRUE(state.GlobalTempFiles.empty()) << "kept, so nobody removes them";
}

// A block goes out while its tasks form it: whole and in order when they finish, and taken back
// out, leaving the blocks before it and no temp file, when the run stops partway.
TEST_F(MergeTest, BlockWrittenWhileFormedIsWholeOrTakenBackOut) {
  const std::uint32_t start = StrToIP("10.0.0.0");
  std::string expected;
  AppendBlockText(expected, start, 70000);
  // Each task asks 8 times between its 9 pieces; the 17th ask comes after the whole block is out.
  for (const int stop_after : {0, 3, 17}) {  // 0: never
    SCOPED_TRACE(stop_after);
    services.processors = 2;
    TExtractRunState run;
    std::filesystem::create_directory(out.path() / std::to_string(stop_after));
    PrepareOutputFile(run, (out.path() / std::to_string(stop_after)).string() + "/", services);
    run.FSFinal->Write("earlier block\r\n", 15);
    std::atomic<int> asked{0};
    if (stop_after > 0)
      run.StopRequested = [&asked, stop_after] { return ++asked >= stop_after; };
    platform::ByteBuffer text;
    TSpareTempFiles spares;
    std::uint64_t appended = 0;
    {
      TFormedBlock block = StartFormingBlock(run, text, spares, start, 70000, services);
      appended = AppendFormedBlock(run, block, spares, services);
    }
    spares.DeleteAll();
    CloseOutput(run);
    EXPECT_EQ(appended, stop_after == 0 ? 70000u : 0u);
    EXPECT_TRUE(test::ReadFileBytes(run.FinalFile) ==
                "earlier block\r\n" + (stop_after == 0 ? expected : ""));
    EXPECT_TRUE(test::FileNames(temp.path()).empty());
  }
}

// A temp file whose second read fails, as a disk error partway would.
class BreakingReadStream final : public platform::Stream {
 public:
  explicit BreakingReadStream(std::unique_ptr<platform::Stream> inner) : inner_(std::move(inner)) {}
  std::size_t Read(void* buffer, std::size_t size) override {
    if (reads_++ > 0)
      throw Error("Cannot read file. The device is not ready");
    return inner_->Read(buffer, size);
  }
  void Write(const void* buffer, std::size_t size) override { inner_->Write(buffer, size); }
  void SeekToEnd() override { inner_->SeekToEnd(); }
  void Close() override { inner_->Close(); }

 private:
  std::unique_ptr<platform::Stream> inner_;
  int reads_ = 0;
};

TEST_F(MergeTest, FailedReadIsAnErrorNotTheEndOfTheFile) {
  PrepareOutputFile(state, out.Folder(), services);
  std::string big(kMergeBufferSize + 10, '1');
  AddTemp(0, "a.tmp", big);
  services.on_open = [](const std::string& path,
                        platform::OpenMode mode) -> std::unique_ptr<platform::Stream> {
    if (path.ends_with("a.tmp")) {
      return std::make_unique<BreakingReadStream>(platform::OpenFile(path, mode));
    }
    return nullptr;
  };
  EXPECT_THROW(MergeTempFiles(state, services), Error);
  EXPECT_EQ(test::FileNames(temp.path()), (std::vector<std::string>{"a.tmp"}));
  EXPECT_EQ(test::ReadFileBytes(temp.path() / "a.tmp"), big);
}

TEST_F(MergeTest, UnreadableTempFileIsKeptNotDeleted) {
  PrepareOutputFile(state, out.Folder(), services);
  AddTemp(0, "a.tmp", "0.0.0.2\r\n");
  services.on_open = [](const std::string& path,
                        platform::OpenMode) -> std::unique_ptr<platform::Stream> {
    if (path.ends_with("a.tmp"))
      throw Error("Cannot open file \"a.tmp\". Sharing violation");
    return nullptr;
  };
  EXPECT_THROW(MergeTempFiles(state, services), Error);
  EXPECT_EQ(test::FileNames(temp.path()), (std::vector<std::string>{"a.tmp"}));
}

}  // namespace
}  // namespace kestrune
