// kestrune-cli: the extraction run without the window, for scripts, servers and benchmarks.

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "cli/console_ui.h"
#include "extractor/run_driver.h"
#include "platform/console.h"
#include "platform/process_services.h"

namespace {

constexpr std::string_view kUsage =
    "Usage: kestrune-cli [--list FILE] [--out-dir DIR]\n"
    "\n"
    "Expands every IPv4 block of a prefix list (one CIDR block per line, /16 to /32) into one\n"
    "address per line and writes them all to a new file named after the local date and time,\n"
    "\"ddmmyyyyhhnnss_IPs.txt\".\n"
    "\n"
    "  --list FILE     the prefix list to read (default: prefix_list.txt in the current folder)\n"
    "  --out-dir DIR   the folder for the output file (default: the current folder)\n"
    "  --help          show this text\n"
    "\n"
    "Every results-log line goes to standard output as the run logs it. While the run goes on, a\n"
    "progress bar and the four figures (total, remaining, speed, estimated time left) are shown\n"
    "on standard error when it is a terminal; messages and errors go to standard error too.\n"
    "\n"
    "Exit status: 0 when the run reached its \"ALL DONE. Output file: \" line, 1 when it ended\n"
    "early (missing or unreadable list, an address block past 255.255.255.255, an output file\n"
    "that cannot be written), 2 for bad usage.\n";

int Usage(std::string_view problem) {
  std::fprintf(stderr, "kestrune-cli: %.*s\n\n%.*s", static_cast<int>(problem.size()),
               problem.data(), static_cast<int>(kUsage.size()), kUsage.data());
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  kestrune::platform::UseUtf8Console();
  const std::vector<std::string> arguments = kestrune::platform::CommandLineArguments(argc, argv);
  kestrune::RunSettings settings;
  settings.output_folder = ".";
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string& word = arguments[i];
    if (word == "--help" || word == "-h") {
      std::fwrite(kUsage.data(), 1, kUsage.size(), stdout);
      return 0;
    }
    if (word != "--list" && word != "--out-dir")
      return Usage("unknown argument \"" + word + "\"");
    if (i + 1 >= arguments.size() || arguments[i + 1].empty()) {
      return Usage(word + " needs a value");
    }
    (word == "--list" ? settings.list_path : settings.output_folder) = arguments[++i];
  }

  const kestrune::platform::SystemServices services;
  kestrune::cli::ConsoleUi ui(stdout, stderr, kestrune::platform::IsTerminal(stderr));
  const kestrune::RunOutcome outcome = kestrune::ButtonExtractClick(settings, ui, services);
  ui.Finish();
  return outcome == kestrune::RunOutcome::kCompleted ? 0 : 1;
}
