// kestrune-cli: the extraction run without the window, for scripts, servers, pipelines and
// benchmarks.

#include <csignal>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "cli/console_ui.h"
#include "extractor/ip_text.h"
#include "extractor/run_driver.h"
#include "platform/console.h"
#include "platform/process_services.h"

namespace {

constexpr int kMaxJobs = 256;

constexpr std::string_view kUsage =
    "Usage: kestrune-cli [--list FILE|-] [--out-dir DIR | --out FILE|-] [--jobs N]\n"
    "\n"
    "Expands every IPv4 block of a prefix list (one CIDR block per line, /16 to /32) into one\n"
    "address per line, each ended by CR LF, blocks in the order of the list.\n"
    "\n"
    "  --list FILE     the prefix list to read (default: prefix_list.txt in the current folder);\n"
    "                  - reads it from standard input\n"
    "  --out-dir DIR   the folder for the output file, which is named after the local date and\n"
    "                  time, \"ddmmyyyyhhnnss_IPs.txt\" (default: the current folder)\n"
    "  --out FILE      the output file instead; it must not exist yet: an existing file is\n"
    "                  refused (exit status 1) and left as it is\n"
    "  --out -         writes the addresses to standard output; the log then goes to standard\n"
    "                  error, so that a pipe carries addresses only\n"
    "  --jobs N        worker tasks per large block, 1 to 256 (default: one per processor)\n"
    "  --help          show this text\n"
    "\n"
    "Every results-log line goes to standard output as the run logs it. While the run goes on, a\n"
    "progress bar and the four figures (total, remaining, speed, estimated time left) are shown\n"
    "on standard error when it is a terminal; messages and errors go to standard error too.\n"
    "\n"
    "Examples:\n"
    "  kestrune-cli --list blocks.txt --out-dir /srv/lists\n"
    "  kestrune-cli --list blocks.txt --out addresses.txt --jobs 4\n"
    "  grep -v '^#' blocks.txt | kestrune-cli --list - --out - | sort -u > addresses.txt\n"
    "  kestrune-cli --list blocks.txt --out - | head\n"
    "\n"
    "The dated output file is always a new one: when its name is taken (a run started in the\n"
    "same second), the first free name with a counter is used, \"ddmmyyyyhhnnss-2_IPs.txt\".\n"
    "\n"
    "Exit status: 0 when the run reached its \"ALL DONE. Output file: \" line with every\n"
    "address written, and when the reader of --out - went away early (as with head); 1 when\n"
    "it ended early (missing or unreadable list, an address block past 255.255.255.255, an\n"
    "output file that exists or cannot be written) or when a block lacks addresses (its ERROR\n"
    "lines are repeated on standard error, and the last line says how many blocks are\n"
    "incomplete); 130 after Ctrl+C and 143 after a request to end, once the output is cut back\n"
    "to its last complete block and the temp files are deleted; 2 for bad usage.\n";

int Usage(std::string_view problem) {
  std::fprintf(stderr, "kestrune-cli: %.*s\n\n%.*s", static_cast<int>(problem.size()),
               problem.data(), static_cast<int>(kUsage.size()), kUsage.data());
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  kestrune::platform::UseUtf8Console();
#ifdef SIGPIPE
  // A closed pipe shows up as a failed write, which ends the run quietly.
  std::signal(SIGPIPE, SIG_IGN);
#endif
  const std::vector<std::string> arguments = kestrune::platform::CommandLineArguments(argc, argv);
  kestrune::RunSettings settings;
  settings.output_folder = ".";
  settings.remove_temp_files_on_error = true;
  settings.large_blocks_in_memory = true;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string& word = arguments[i];
    if (word == "--help" || word == "-h") {
      std::fwrite(kUsage.data(), 1, kUsage.size(), stdout);
      return 0;
    }
    if (word != "--list" && word != "--out-dir" && word != "--out" && word != "--jobs")
      return Usage("unknown argument \"" + word + "\"");
    if (i + 1 >= arguments.size() || arguments[i + 1].empty()) {
      return Usage(word + " needs a value");
    }
    const std::string& value = arguments[++i];
    if (word == "--list") {
      settings.list_path = value;
    } else if (word == "--out-dir") {
      settings.output_folder = value;
    } else if (word == "--out") {
      settings.output_file = value;
    } else {
      const auto jobs = kestrune::ParseInt32(value);
      if (!jobs || *jobs < 1 || *jobs > kMaxJobs ||
          value.find_first_not_of("0123456789") != std::string::npos)
        return Usage("--jobs takes a whole number from 1 to 256, not \"" + value + "\"");
      settings.jobs = *jobs;
    }
  }

  kestrune::platform::CatchStopRequests();
  settings.stop_requested = [] { return kestrune::platform::StopRequestStatus() != 0; };

  const kestrune::platform::SystemServices services;
  std::FILE* log = settings.output_file == kestrune::kStandardStream ? stderr : stdout;
  // A long list logs two lines per block: write them in large pieces, unless someone watches.
  const bool log_watched = kestrune::platform::IsTerminal(log);
  if (!log_watched)
    std::setvbuf(log, nullptr, _IOFBF, std::size_t{1} << 16);
  kestrune::cli::ConsoleUi ui(log, stderr, kestrune::platform::IsTerminal(stderr), !log_watched);
  kestrune::RunReport report;
  const kestrune::RunOutcome outcome =
      kestrune::ButtonExtractClick(settings, ui, services, &report);
  ui.Finish();
  switch (outcome) {
    case kestrune::RunOutcome::kCompleted:
    case kestrune::RunOutcome::kOutputClosed:
      return 0;
    case kestrune::RunOutcome::kIncomplete:
      std::fprintf(stderr,
                   "kestrune-cli: %llu %s incomplete: %llu addresses are missing from the output "
                   "(see the ERROR lines)\n",
                   static_cast<unsigned long long>(report.incomplete_blocks),
                   report.incomplete_blocks == 1 ? "block is" : "blocks are",
                   static_cast<unsigned long long>(report.missing_addresses));
      return 1;
    case kestrune::RunOutcome::kStopped:
      std::fprintf(stderr,
                   "kestrune-cli: stopped; the output holds %llu complete %s and no temp file "
                   "is left\n",
                   static_cast<unsigned long long>(report.complete_blocks),
                   report.complete_blocks == 1 ? "block" : "blocks");
      std::fflush(stderr);
      kestrune::platform::StopRequestHandled();
      return kestrune::platform::StopRequestStatus();
    case kestrune::RunOutcome::kListMissing:
    case kestrune::RunOutcome::kEndedByError:
      break;
  }
  return 1;
}
