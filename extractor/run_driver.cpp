#include "extractor/run_driver.h"

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

}  // namespace

std::string MissingListMessage(std::string_view list_name) {
  return "File \"" + std::string(list_name) +
         "\" tidak ditemukan. Letakkan file ini di folder aplikasi (exe).";
}

RunOutcome RunExtraction(const RunSettings& settings, RunUi& ui,
                         const platform::ProcessServices& services) {
  if (!platform::FileExists(settings.list_path)) {
    ui.ShowMessage(MissingListMessage(settings.list_path));
    return RunOutcome::kListMissing;
  }
  TExtractRunState state;
  const std::vector<std::string> PrefixList = LoadPrefixList(settings.list_path, services);
  const int line_count =
      PrefixList.size() > INT_MAX ? INT_MAX : static_cast<int>(PrefixList.size());
  const platform::RegionalFormats formats = services.Formats();

  ui.ClearLog();
  PrepareOutputFile(
      state, settings.output_folder.empty() ? services.ExecutableFolder() : settings.output_folder,
      services);
  ui.SetProgressMaximum(line_count);
  ui.SetProgressPosition(0);
  int progress = 0;

  const double StartTime = platform::ToDateTime(services.Now());
  std::uint64_t TotalIPsProcessed = 0;
  ui.SetLabel(RunLabel::kETA, kEtaCalculating);
  ui.SetLabel(RunLabel::kSpeed, kSpeedCalculating);

  state.TotalEstimatedIPs = CountEstimatedIPs(PrefixList);
  state.RemainingIPs = state.TotalEstimatedIPs;
  ui.SetLabel(RunLabel::kTotalEstimated, TotalLabelText(state.TotalEstimatedIPs, formats));
  ui.SetLabel(RunLabel::kRemaining, RemainingLabelText(state.RemainingIPs, formats));

  for (int PrefixIdx = 0; PrefixIdx < line_count; ++PrefixIdx) {
    state.LineTrimmed = std::string(TrimLine(PrefixList[static_cast<std::size_t>(PrefixIdx)]));
    if (state.LineTrimmed.empty())
      continue;
    const std::size_t slash = state.LineTrimmed.find('/');
    if (slash == std::string::npos) {
      ui.AppendLog("Invalid format (no /): " + state.LineTrimmed);
      continue;
    }
    state.BaseIP = state.LineTrimmed.substr(0, slash);
    const std::string SubnetStr = state.LineTrimmed.substr(slash + 1);
    const auto prefix = ParseInt32(SubnetStr);
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
    ui.AppendLog("Processing: " + state.LineTrimmed);

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

    RunBlockTasks(state, StartIP, IPCount, services);
    {
      std::lock_guard lock(state.CS);
      for (state.j = 0; state.j < static_cast<std::int32_t>(state.Exceptions.size()); ++state.j) {
        ui.AppendLog("ERROR: " + state.Exceptions[static_cast<std::size_t>(state.j)]);
      }
      state.Exceptions.clear();
    }
    MergeTempFiles(state, services);
    ui.AppendLog("Done: " + state.LineTrimmed);
    ui.SetProgressPosition(++progress);

    const double ElapsedSec = (platform::ToDateTime(services.Now()) - StartTime) * 86400.0;
    TotalIPsProcessed += IPCount;
    state.RemainingIPs = state.TotalEstimatedIPs - TotalIPsProcessed;
    ui.SetLabel(RunLabel::kRemaining, RemainingLabelText(state.RemainingIPs, formats));
    const BlockFigures figures =
        ComputeBlockFigures(ElapsedSec, TotalIPsProcessed, PrefixIdx + 1, line_count);
    state.Speed = figures.Speed;
    state.ETASec = figures.ETASec;
    ui.SetLabel(RunLabel::kSpeed, SpeedLabelText(state.Speed, formats));
    ui.SetLabel(RunLabel::kETA, EtaLabelText(state.ETASec, formats));
  }

  ui.AppendLog("ALL DONE. Output file: " + state.FinalFile);
  return RunOutcome::kCompleted;
}

RunOutcome ButtonExtractClick(const RunSettings& settings, RunUi& ui,
                              const platform::ProcessServices& services) {
  try {
    return RunExtraction(settings, ui, services);
  } catch (const std::exception& error) {
    ui.ShowErrorBox(ErrorBoxText(error.what()));
    return RunOutcome::kEndedByError;
  }
}

}  // namespace kestrune
