#include "extractor/run_driver.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <vector>

#include "extractor/block_workers.h"
#include "extractor/ip_text.h"
#include "extractor/output_merge.h"
#include "extractor/prefix_list.h"
#include "extractor/run_state.h"
#include "extractor/run_statistics.h"
#include "platform/error.h"
#include "platform/files.h"

namespace kestrune {
namespace {

std::string BlockedMessage(std::string_view line, std::int32_t prefix) {
  return std::string(line) + " -> BLOCKED (prefix " + std::to_string(prefix) + " <= 15)";
}

bool HasLineBreak(std::string_view line) {
  for (const char c : line) {
    if (c == '\n')
      return true;
  }
  return false;
}

// The run's UI, holding its steps back while the blocks they report are still on their way to the
// output, so that no "Done: " line is shown for a block the output lacks.
class HeldUi final : public RunUi {
 public:
  explicit HeldUi(RunUi& ui) : ui_(ui) {}

  // A place in the held steps: what has been held up to a moment.
  struct Mark {
    std::size_t steps = 0;
    std::size_t text = 0;
  };

  void Hold() { holding_ = true; }
  // Room for `text_size` bytes of held text.
  void Reserve(std::size_t text_size) { texts_.reserve(text_size); }
  [[nodiscard]] Mark Held() const { return {steps_.size(), texts_.size()}; }
  [[nodiscard]] std::size_t HeldTextSize() const { return texts_.size(); }
  // Shows what was held up to `mark`, forgets the rest and stops holding.
  void Release(Mark mark) {
    for (std::size_t i = 0; i < mark.steps && i < steps_.size(); ++i) {
      HeldStep step = steps_[i];
      // Lines held together may run on past the mark.
      if (step.kind == Kind::kLines)
        step.text_end = std::min(step.text_end, mark.text);
      Show(step);
    }
    steps_.clear();
    texts_.clear();
    holding_ = false;
  }
  void ReleaseAll() { Release(Held()); }

  void ClearLog() override { Step(Kind::kClear, 0, {}); }
  void AppendLog(std::string_view line) override {
    if (!holding_ || HasLineBreak(line)) {
      Step(Kind::kLog, 0, line);
      return;
    }
    // Held lines that follow each other are kept as one text and shown in one piece.
    if (steps_.empty() || steps_.back().kind != Kind::kLines)
      steps_.push_back({Kind::kLines, 0, texts_.size(), texts_.size()});
    texts_ += line;
    texts_ += '\n';
    steps_.back().text_end = texts_.size();
  }
  void SetLabel(RunLabel label, std::string_view text) override {
    Step(Kind::kLabel, static_cast<int>(label), text);
  }
  void SetProgressMaximum(int maximum) override { Step(Kind::kMaximum, maximum, {}); }
  void SetProgressPosition(int position) override { Step(Kind::kPosition, position, {}); }
  void BlockIncomplete() override { Step(Kind::kIncomplete, 0, {}); }
  void ShowMessage(std::string_view text) override { ui_.ShowMessage(text); }
  void ShowErrorBox(std::string_view text) override { ui_.ShowErrorBox(text); }

 private:
  enum class Kind { kClear, kLog, kLines, kLabel, kMaximum, kPosition, kIncomplete };
  struct HeldStep {
    Kind kind;
    int value;
    std::size_t text_begin;
    std::size_t text_end;
  };

  void Step(Kind kind, int value, std::string_view text) {
    const HeldStep step{kind, value, texts_.size(), texts_.size() + text.size()};
    if (!holding_) {
      Show(step, text);
      return;
    }
    texts_ += text;
    steps_.push_back(step);
  }
  void Show(const HeldStep& step) {
    Show(step, std::string_view(texts_).substr(step.text_begin, step.text_end - step.text_begin));
  }
  void Show(const HeldStep& step, std::string_view text) {
    switch (step.kind) {
      case Kind::kClear:
        ui_.ClearLog();
        break;
      case Kind::kLog:
        ui_.AppendLog(text);
        break;
      case Kind::kLines:
        ui_.AppendLogLines(text);
        break;
      case Kind::kLabel:
        ui_.SetLabel(static_cast<RunLabel>(step.value), text);
        break;
      case Kind::kMaximum:
        ui_.SetProgressMaximum(step.value);
        break;
      case Kind::kPosition:
        ui_.SetProgressPosition(step.value);
        break;
      case Kind::kIncomplete:
        ui_.BlockIncomplete();
        break;
    }
  }

  RunUi& ui_;
  bool holding_ = false;
  std::vector<HeldStep> steps_;
  std::string texts_;  // the held steps' texts, one after the other
};

// The text of small blocks, gathered so that it reaches the output in large writes.
class InlineBlocks {
 public:
  // Bytes gathered before they are written.
  static constexpr std::size_t kWriteSize = std::size_t{1} << 18;
  // Bytes of held log text before the gathered blocks are written all the same: a list of single
  // addresses logs three times the bytes it writes, and held text that stays small stays in the
  // processor's cache.
  static constexpr std::size_t kHeldTextSize = std::size_t{1} << 17;

  InlineBlocks(TExtractRunState& state, HeldUi& ui, const RunSettings& settings,
               const platform::ProcessServices& services)
      : state_(state), ui_(ui), settings_(settings), services_(services) {}

  // Gathers the block's text. The next UI step, held from now on, is its "Done: " line.
  void Add(std::uint32_t start, std::uint64_t count) {
    if (text_.empty()) {
      ui_.Hold();
      if (text_.capacity() == 0) {
        // Room for the most gathered at once, taken once: growing by steps would copy it over.
        text_.reserve(kWriteSize + kInlineBlockLimit * (kMaxIPTextLength + 2) + kListTextSlack);
        ui_.Reserve(2 * kHeldTextSize);
        blocks_.reserve(kHeldTextSize / 32);
      }
    }
    AppendBlockText(text_, start, count);
    blocks_.push_back({text_.size(), ui_.Held()});
  }
  [[nodiscard]] bool Full() const {
    return text_.size() >= kWriteSize || ui_.HeldTextSize() >= kHeldTextSize;
  }

  // Writes what has been gathered and shows the held steps. When the write fails, shows only the
  // steps before the first block that did not reach the output whole, then throws.
  void Commit() {
    if (text_.empty()) {
      ui_.ReleaseAll();
      return;
    }
    const bool named_file = settings_.output_file != kStandardStream;
    const auto size_now = [&] {
      return named_file ? platform::FileSize(state_.FinalFile) : std::nullopt;
    };
    const std::optional<std::uint64_t> before_size = size_now();
    const bool size_known = before_size.has_value();
    const std::uint64_t before = before_size.value_or(0);
    try {
      OutputStream(state_, services_).Write(text_.data(), text_.size());
    } catch (const std::exception& error) {
      const auto after = size_now();
      const std::uint64_t landed = size_known && after && *after >= before ? *after - before : 0;
      HeldUi::Mark shown = ui_.Held();
      std::size_t whole = 0;  // bytes of the blocks that landed whole
      for (const auto& block : blocks_) {
        if (block.end > landed) {
          shown = block.done_step;
          break;
        }
        whole = block.end;
        ++committed_;
      }
      Reset();
      ui_.Release(shown);
      if (!size_known || dynamic_cast<const platform::ClosedPipeError*>(&error) != nullptr)
        throw;
      const std::uint64_t block_start = before + whole;
      // A block cut off inside a line would pass for written; the output ends at a block's end.
      std::string message = error.what();
      try {
        OutputStream(state_, services_).CutBack(block_start);
        message += " The output was cut back to the end of its last complete block.";
      } catch (const std::exception& cut) {
        message += std::string(" ") + cut.what();
      }
      throw Error(message);
    }
    committed_ += blocks_.size();
    Reset();
    ui_.ReleaseAll();
  }

  // Blocks whose text has reached the output whole.
  [[nodiscard]] std::uint64_t Committed() const { return committed_; }

 private:
  struct Block {
    std::size_t end;         // where its text ends in text_
    HeldUi::Mark done_step;  // where the held step that logs its "Done: " line begins
  };
  void Reset() {
    text_.clear();
    blocks_.clear();
  }

  TExtractRunState& state_;
  HeldUi& ui_;
  const RunSettings& settings_;
  const platform::ProcessServices& services_;
  std::string text_;
  std::vector<Block> blocks_;
  std::uint64_t committed_ = 0;
};

// Ends a run that was asked to stop.
class RunStopped : public Error {
 public:
  RunStopped() : Error("The run was stopped.") {}
};

void PrepareOutput(TExtractRunState& state, const RunSettings& settings,
                   const platform::ProcessServices& services) {
  if (settings.output_file == kStandardStream)
    PrepareStandardOutput(state);
  else if (!settings.output_file.empty())
    PrepareNamedOutputFile(state, settings.output_file, services);
  else
    PrepareOutputFile(
        state,
        settings.output_folder.empty() ? services.ExecutableFolder() : settings.output_folder,
        services);
}

// `to` made `text`: for the short texts of a line, cheaper than assign, which allows for overlap.
void SetText(std::string& to, std::string_view text) {
  to.clear();
  to.append(text);
}

std::string_view Joined(std::string& buffer, std::string_view head, std::string_view tail) {
  SetText(buffer, head);
  buffer += tail;
  return buffer;
}

PrefixList ReadList(const RunSettings& settings, const platform::ProcessServices& services) {
  if (settings.list_path == kStandardStream)
    return ReadPrefixList(*platform::StandardInput(), services, "standard input");
  return LoadPrefixList(settings.list_path, services);
}

void RemoveUnmergedTempFiles(TExtractRunState& state) {
  std::lock_guard lock(state.CS);
  for (const auto& file : state.GlobalTempFiles)
    platform::DeleteFileQuietly(file.Path);
  state.GlobalTempFiles.clear();
}

}  // namespace

void RunUi::AppendLogLines(std::string_view lines) {
  while (!lines.empty()) {
    const std::size_t end = lines.find('\n');
    AppendLog(lines.substr(0, end));
    lines.remove_prefix(end == std::string_view::npos ? lines.size() : end + 1);
  }
}

std::string MissingListMessage(std::string_view list_name) {
  return "File \"" + std::string(list_name) +
         "\" tidak ditemukan. Letakkan file ini di folder aplikasi (exe).";
}

RunOutcome RunExtraction(const RunSettings& settings, RunUi& visible_ui,
                         const platform::ProcessServices& services, RunReport* report) {
  if (settings.list_path != kStandardStream && !platform::FileExists(settings.list_path)) {
    const platform::PathKind kind = platform::KindOfPath(settings.list_path, true);
    if (kind != platform::PathKind::kNone) {
      // A device, or a name the system refuses, has no kind worth naming.
      const std::string what = kind == platform::PathKind::kOther
                                   ? std::string("not a file")
                                   : std::string(platform::PathKindText(kind)) + ", not a file";
      throw Error("The prefix list \"" + settings.list_path + "\" is " + what);
    }
    visible_ui.ShowMessage(MissingListMessage(settings.list_path));
    return RunOutcome::kListMissing;
  }
  RunReport own_report;
  RunReport& done = report != nullptr ? *report : own_report;
  done = {};
  const auto stop_requested = [&settings] {
    return settings.stop_requested && settings.stop_requested();
  };
  std::uint64_t worker_blocks_complete = 0;
  TExtractRunState state;
  state.StopRequested = settings.stop_requested;
  const PrefixList list = ReadList(settings, services);
  const int line_count = list.LineCount() > INT_MAX ? INT_MAX : static_cast<int>(list.LineCount());
  const platform::RegionalFormats formats = services.Formats();
  HeldUi ui(visible_ui);
  const bool figures_shown = visible_ui.ShowsFigures();
  std::string line;  // one log line, reused: small blocks come by the hundred thousand
  InlineBlocks inline_blocks(state, ui, settings, services);
  platform::ByteBuffer block_text;  // a large block formed in memory, reused for the next
  TSpareTempFiles spare_temp_files;

  ui.ClearLog();
  try {
    PrepareOutput(state, settings, services);
    ui.SetProgressMaximum(line_count);
    ui.SetProgressPosition(0);
    int progress = 0;

    const double StartTime = platform::ToDateTime(services.Now());
    std::uint64_t TotalIPsProcessed = 0;
    ui.SetLabel(RunLabel::kETA, kEtaCalculating);
    ui.SetLabel(RunLabel::kSpeed, kSpeedCalculating);

    state.TotalEstimatedIPs = CountEstimatedIPs(list);
    state.RemainingIPs = state.TotalEstimatedIPs;
    ui.SetLabel(RunLabel::kTotalEstimated, TotalLabelText(state.TotalEstimatedIPs, formats));
    ui.SetLabel(RunLabel::kRemaining, RemainingLabelText(state.RemainingIPs, formats));

    PrefixList::Cursor lines = list.Lines();
    std::string_view list_line;
    for (int PrefixIdx = 0; PrefixIdx < line_count && lines.Next(list_line); ++PrefixIdx) {
      if (stop_requested())
        throw RunStopped();
      SetText(state.LineTrimmed, TrimLine(list_line));
      if (state.LineTrimmed.empty())
        continue;
      const std::size_t slash = FirstSlash(state.LineTrimmed);
      if (slash == std::string::npos) {
        ui.AppendLog("Invalid format (no /): " + state.LineTrimmed);
        continue;
      }
      SetText(state.BaseIP, std::string_view(state.LineTrimmed).substr(0, slash));
      const std::string_view SubnetStr = std::string_view(state.LineTrimmed).substr(slash + 1);
      const auto prefix = ParsePrefixLength(SubnetStr);
      if (!prefix) {
        ui.AppendLog("Invalid subnet number: " + state.LineTrimmed);
        continue;
      }
      state.Prefix = *prefix;
      if (state.Prefix <= 15) {
        ui.AppendLog(BlockedMessage(state.LineTrimmed, state.Prefix));
        continue;
      }
      if (state.Prefix < 0 || state.Prefix > 32) {
        ui.AppendLog("Subnet mask harus 0..32: " + state.LineTrimmed);
        continue;
      }
      ui.AppendLog(Joined(line, "Processing: ", state.LineTrimmed));

      std::uint32_t StartIP = 0;
      try {
        StartIP = StrToIP(state.BaseIP);
      } catch (const Error& error) {
        state.E = error.what();
        ui.AppendLog("Invalid IP: " + state.BaseIP + " (" + state.E + ")");
        continue;
      }

      const std::uint64_t IPCount = std::uint64_t{1} << (32 - state.Prefix);
      // A block may end on 255.255.255.255 itself; only one that would run past it ends the run.
      if (StartIP + IPCount - 1 > 0xFFFFFFFFu)
        throw Error("Integer overflow");

      if (IPCount <= settings.inline_block_limit) {
        // Its bytes are committed with the other small blocks gathered; its steps wait for them.
        inline_blocks.Add(StartIP, IPCount);
      } else {
        inline_blocks.Commit();  // what comes before this block reaches the output first
        const auto log_errors = [&state, &ui] {
          std::lock_guard lock(state.CS);
          for (state.j = 0; state.j < static_cast<std::int32_t>(state.Exceptions.size());
               ++state.j) {
            ui.AppendLog("ERROR: " + state.Exceptions[static_cast<std::size_t>(state.j)]);
          }
          state.Exceptions.clear();
        };
        std::uint64_t merged = 0;
        // A block refused halfway is taken back from the output before its temp files take it:
        // standard output, which cannot be cut back, keeps the temp files' way.
        if (settings.large_blocks_in_memory && settings.output_file != kStandardStream) {
          TFormedBlock block = StartFormingBlock(state, block_text, spare_temp_files, StartIP,
                                                 IPCount, services, settings.jobs);
          // Written while it is formed; a stop takes it back out.
          merged = AppendFormedBlock(state, block, spare_temp_files, services);
          if (stop_requested())
            throw RunStopped();
          log_errors();  // failed tasks, then slices the output refused and their temp files too
        } else {
          RunBlockTasks(state, StartIP, IPCount, services, settings.jobs);
          if (stop_requested())
            throw RunStopped();
          log_errors();
        }
        merged += MergeTempFiles(state, services);
        log_errors();  // temp files that were gone before the merge
        if (merged < IPCount) {
          ui.BlockIncomplete();
          ++done.incomplete_blocks;
          done.missing_addresses += IPCount - merged;
        } else {
          ++worker_blocks_complete;
        }
        done.complete_blocks = worker_blocks_complete + inline_blocks.Committed();
      }
      ui.AppendLog(Joined(line, "Done: ", state.LineTrimmed));
      ++progress;
      if (figures_shown)
        ui.SetProgressPosition(progress);
      TotalIPsProcessed += IPCount;
      state.RemainingIPs = state.TotalEstimatedIPs - TotalIPsProcessed;
      if (figures_shown) {
        const double ElapsedSec = (platform::ToDateTime(services.Now()) - StartTime) * 86400.0;
        ui.SetLabel(RunLabel::kRemaining, RemainingLabelText(state.RemainingIPs, formats));
        const BlockFigures figures =
            ComputeBlockFigures(ElapsedSec, TotalIPsProcessed, PrefixIdx + 1, line_count);
        state.Speed = figures.Speed;
        state.ETASec = figures.ETASec;
        ui.SetLabel(RunLabel::kSpeed, SpeedLabelText(state.Speed, formats));
        ui.SetLabel(RunLabel::kETA, EtaLabelText(state.ETASec, formats));
      }
      if (inline_blocks.Full())
        inline_blocks.Commit();
    }
    inline_blocks.Commit();
    done.complete_blocks = worker_blocks_complete + inline_blocks.Committed();
    spare_temp_files.DeleteAll();
    CloseOutput(state);
  } catch (...) {
    bool stopped = false;
    try {
      throw;
    } catch (const RunStopped&) {
      stopped = true;
    } catch (...) {
    }
    const auto clean_up = [&] {
      done.complete_blocks = worker_blocks_complete + inline_blocks.Committed();
      if (stopped || settings.remove_temp_files_on_error)
        RemoveUnmergedTempFiles(state);
    };
    // Blocks reported done before the error reach the output first, as they would have one by one.
    try {
      inline_blocks.Commit();
    } catch (...) {
      clean_up();
      throw;
    }
    clean_up();
    throw;
  }

  ui.AppendLog("ALL DONE. Output file: " + state.FinalFile);
  if (done.incomplete_blocks > 0) {
    // The figures counted those blocks as done; the user must not take the output for whole.
    ui.SetLabel(RunLabel::kRemaining,
                MissingLabelText(done.missing_addresses, done.incomplete_blocks, formats));
    return RunOutcome::kIncomplete;
  }
  return RunOutcome::kCompleted;
}

RunOutcome ButtonExtractClick(const RunSettings& settings, RunUi& ui,
                              const platform::ProcessServices& services, RunReport* report) {
  try {
    return RunExtraction(settings, ui, services, report);
  } catch (const platform::ClosedPipeError&) {
    return RunOutcome::kOutputClosed;
  } catch (const RunStopped&) {
    return RunOutcome::kStopped;
  } catch (const std::exception& error) {
    ui.ShowErrorBox(ErrorBoxText(error.what()));
    return RunOutcome::kEndedByError;
  }
}

}  // namespace kestrune
