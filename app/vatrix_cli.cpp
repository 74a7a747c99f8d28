// vatrix-cli: the command line over the same code the window uses.
#include <unistd.h>

#include <algorithm>
#include <iostream>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "app/background_office.h"
#include "app/batch_command.h"
#include "app/cli_options.h"
#include "app/export_command.h"
#include "app/sql_command.h"
#include "hostdata/code_page.h"
#include "hostdata/host_error.h"
#include "hostdata/huge_page_heap.h"
#include "workbook/interrupt_cleanup.h"

namespace {

using Options = std::map<std::string, std::string>;

int Usage(const std::string& command, std::string problem) {
  for (size_t at = problem.find('\n'); at != std::string::npos; at = problem.find('\n', at + 1)) {
    problem.insert(at + 1, "vatrix-cli: ");
  }
  std::cerr << "vatrix-cli: " << problem << "\n"
            << vatrix::CommandUsage(command) << "Try 'vatrix-cli "
            << (command.empty() ? "" : command + " ") << "--help' for more.\n";
  return 2;
}

// Makes --code-page the code page of table files that name none, and takes it out of `options`.
void ApplyCodePage(Options* options) {
  const auto found = options->find("code-page");
  if (found == options->end()) return;
  try {
    vatrix::SetUnnamedCodePage(found->second);
  } catch (const vatrix::HostError& error) {
    throw vatrix::BadArguments("--code-page: " + error.description());
  }
  options->erase(found);
}

void ExpectPlain(const std::string& command, const vatrix::CommandArguments& arguments,
                 size_t count, const std::string& what) {
  if (arguments.plain.size() > count) {
    throw vatrix::BadArguments(command + " takes no argument " + arguments.plain[count]);
  }
  if (arguments.plain.size() < count) throw vatrix::BadArguments(command + " needs " + what);
}

void ExpectOptions(const std::string& command, const Options& options,
                   const std::vector<std::string>& required) {
  for (const std::string& name : required) {
    if (!options.count(name)) throw vatrix::BadArguments(command + " needs --" + name);
  }
}

int RunCommand(const std::string& command, const vatrix::CommandArguments& arguments) {
  Options options = arguments.options;
  if (command == "sql") {
    vatrix::CheckOptionNames(command, options, {"folder", "code-page"});
    ExpectOptions(command, options, {"folder"});
    ExpectPlain(command, arguments, 1, "one query text");
    ApplyCodePage(&options);
    return vatrix::RunSqlCommand(options["folder"], arguments.plain[0], std::cout, std::cerr);
  }
  if (command == "figures") {
    vatrix::CheckOptionNames(command, options, {"folder", "from", "to", "code-page"});
    ExpectOptions(command, options, {"folder", "from", "to"});
    ExpectPlain(command, arguments, 0, "");
    ApplyCodePage(&options);
    return vatrix::RunFiguresCommand(options["folder"], options["from"], options["to"], std::cout,
                                     std::cerr);
  }
  if (command == "companies") {
    vatrix::CheckOptionNames(command, options, {"host", "code-page"});
    ExpectOptions(command, options, {"host"});
    ExpectPlain(command, arguments, 0, "");
    ApplyCodePage(&options);
    return vatrix::RunCompaniesCommand(options["host"], std::cout, std::cerr);
  }
  if (command == "export") {
    ExpectPlain(command, arguments, 0, "");
    ApplyCodePage(&options);
    vatrix::BackgroundOffice office;  // started beside the loading when the return is a workbook
    return vatrix::RunExportCommand(options, std::cout, std::cerr, office.Spreadsheets(),
                                    [&] { office.Start(); });
  }
  // batch
  vatrix::CheckOptionNames(command, options,
                           {"out", "summary", "host", "master", "ini", "code-page"});
  ExpectPlain(command, arguments, 1, "the job list JOBS.csv");
  ApplyCodePage(&options);
  const std::string summary = options["summary"];
  options.erase("summary");
  // One office for the whole batch, started beside the first loading.
  vatrix::BackgroundOffice office;
  return vatrix::RunBatchCommand(arguments.plain[0], options, summary, std::cout, std::cerr,
                                 isatty(STDERR_FILENO) ? &std::cerr : nullptr,
                                 office.Spreadsheets(), [&] { office.Start(); });
}

}  // namespace

int main(int argc, char** argv) {
  vatrix::RestartWithHugePageHeap(argv);
  vatrix::CleanUpOnInterrupt();  // before any thread starts, so that all inherit it
  const std::vector<std::string> rest(argv + std::min(argc, 2), argv + argc);
  const std::string command = argc < 2 ? "" : argv[1];
  if (command.empty()) return Usage("", "no command given");
  if (command == "--version") {
    std::cout << "vatrix-cli " << VATRIX_VERSION << "\n";
    return 0;
  }
  if (command == "--help" || command == "-h" || command == "help") {
    const std::string topic = rest.empty() ? "" : rest[0];
    if (!topic.empty() && vatrix::CommandHelp(topic).empty()) {
      return Usage("", "unknown command " + topic);
    }
    std::cout << (topic.empty() ? vatrix::ProgramHelp() : vatrix::CommandHelp(topic));
    return 0;
  }
  if (vatrix::CommandHelp(command).empty()) return Usage("", "unknown command " + command);
  try {
    const vatrix::CommandArguments arguments = vatrix::SplitArguments(
        rest, command == "export" ? std::set<std::string>{"bill-amount"} : std::set<std::string>{});
    if (arguments.help) {
      std::cout << vatrix::CommandHelp(command);
      return 0;
    }
    return RunCommand(command, arguments);
  } catch (const vatrix::BadArguments& problem) {
    return Usage(command, problem.what());
  }
}
