#pragma once
// Process services for tests: the real file system and GUIDs, with a clock, separators, processor
// count and folders set by the test, and a hook that can make chosen files fail.

#include <atomic>
#include <functional>
#include <mutex>
#include <vector>

#include "platform/error.h"
#include "platform/process_services.h"

namespace kestrune::test {

// A stream that passes everything to a real file but fails its writes once `budget` bytes have
// been written, as a disk that fills up would.
class FillingStream final : public platform::Stream {
 public:
  FillingStream(std::unique_ptr<platform::Stream> inner, std::size_t budget)
      : inner_(std::move(inner)), budget_(budget) {}
  std::size_t Read(void* buffer, std::size_t size) override { return inner_->Read(buffer, size); }
  void Write(const void* buffer, std::size_t size) override {
    if (size > budget_) {
      inner_->Write(buffer, budget_);
      budget_ = 0;
      throw Error("There is not enough space on the disk");
    }
    budget_ -= size;
    inner_->Write(buffer, size);
  }
  void SeekToEnd() override { inner_->SeekToEnd(); }
  void Close() override { inner_->Close(); }
  void CutBack(std::uint64_t size) override { inner_->CutBack(size); }

 private:
  std::unique_ptr<platform::Stream> inner_;
  std::size_t budget_;
};

// A stream whose file is deleted as soon as it is closed, as a temp-folder cleaner would.
class VanishingStream final : public platform::Stream {
 public:
  VanishingStream(std::unique_ptr<platform::Stream> inner, std::string path)
      : inner_(std::move(inner)), path_(std::move(path)) {}
  std::size_t Read(void* buffer, std::size_t size) override { return inner_->Read(buffer, size); }
  void Write(const void* buffer, std::size_t size) override { inner_->Write(buffer, size); }
  void SeekToEnd() override { inner_->SeekToEnd(); }
  void Close() override {
    inner_->Close();
    platform::DeleteFileQuietly(path_);
  }

 private:
  std::unique_ptr<platform::Stream> inner_;
  std::string path_;
};

class FakeServices : public platform::SystemServices {
 public:
  std::string temp_folder;
  std::string executable_folder;
  int processors = 4;
  platform::RegionalFormats formats;
  // Successive clock readings; the last one repeats.
  std::vector<platform::WallClock> clock{{2026, 12, 8, 23, 15, 7, 0}};
  // Called before every open; may return a stream of its own (or throw) instead of the real file.
  std::function<std::unique_ptr<platform::Stream>(const std::string&, platform::OpenMode)> on_open;
  std::function<std::string()> guid;

  std::string TempFolder() const override { return temp_folder; }
  std::string ExecutableFolder() const override { return executable_folder; }
  int LogicalProcessorCount() const override { return processors; }
  platform::RegionalFormats Formats() const override { return formats; }
  std::string NewGuidText() const override {
    return guid ? guid() : platform::SystemServices::NewGuidText();
  }
  platform::WallClock Now() const override {
    std::lock_guard lock(mutex_);
    const auto reading = clock[std::min(next_reading_, clock.size() - 1)];
    ++next_reading_;
    return reading;
  }
  std::unique_ptr<platform::Stream> Open(const std::string& path,
                                         platform::OpenMode mode) const override {
    opens.fetch_add(1);
    if (on_open) {
      if (auto stream = on_open(path, mode))
        return stream;
    }
    return platform::OpenFile(path, mode);
  }

  mutable std::atomic<int> opens{0};

 private:
  mutable std::mutex mutex_;
  mutable std::size_t next_reading_ = 0;
};

}  // namespace kestrune::test
