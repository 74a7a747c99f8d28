// vatrix-cli: the command line over the same code the window uses.
#include <cstring>
#include <iostream>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "app/export_command.h"
#include "app/sql_command.h"
#include "workbook/interrupt_cleanup.h"
#include "workbook/office_spreadsheet.h"

namespace {

constexpr char kUsage[] =
    "usage:\n"
    "  vatrix-cli sql --folder DIR \"QUERY\"\n"
    "      run one query on the tables in DIR and print the rows as CSV\n"
    "  vatrix-cli figures --folder DIR --from dd/MM/yyyy --to dd/MM/yyyy\n"
    "      print Form 201's aggregate figures Q1..Q30 for the company data in DIR\n"
    "  vatrix-cli companies --host DIR\n"
    "      list the companies of the installation in DIR, as the company chooser shows them\n"
    "  vatrix-cli export --host DIR --company CODE --form FORM --type TYPE --period ITEM\n"
    "                    --out DIR [--name NAME] [--file-type .xls|.csv] [--master DIR]\n"
    "                    [--ini FILE] [--accounts all|CODE,...] [--tax-types all|NAME,...]\n"
    "                    [--products all|CODE,...] [--batches all|NO,...] [--layout old|macro]\n"
    "                    [--bill-amount] [--state-field ADD3|ITNO|LICNO|EMAIL|CATEGORY|STATE]\n"
    "                    [--stock-date yes|no] [--april-shift yes|no]\n"
    "      build one return as the main window does; FORM is 201, 201A, 201B, 201C, 202, 202A,\n"
    "      202B, 205, 3B, 3BSALES or 3BPURCHASE; TYPE Monthly, Quaterly, HalfYearly or\n"
    "      Annually; ITEM a period item (04.April, 02.Quarter) or its number\n";

int Usage(const std::string& problem) {
  std::cerr << "vatrix-cli: " << problem << "\n" << kUsage;
  return 2;
}

// Splits "--name value" pairs (and the value-less `flags`) from the plain arguments. Returns
// the option that lacks its value (none follows, or another option does), "" when none does.
std::string ParseArguments(int argc, char** argv, const std::set<std::string>& flags,
                           std::map<std::string, std::string>* options,
                           std::vector<std::string>* plain) {
  for (int i = 2; i < argc; ++i) {
    if (std::strncmp(argv[i], "--", 2) != 0) {
      plain->push_back(argv[i]);
    } else if (flags.count(argv[i] + 2)) {
      (*options)[argv[i] + 2] = "";
    } else {
      if (i + 1 >= argc || std::strncmp(argv[i + 1], "--", 2) == 0) return argv[i];
      (*options)[argv[i] + 2] = argv[i + 1];
      ++i;
    }
  }
  return "";
}

int Export(const vatrix::ExportOptions& options, const std::vector<std::string>& plain) {
  if (!plain.empty()) return Usage("export takes no argument " + plain[0]);
  // The office starts at the first workbook a builder opens and ends with the command.
  vatrix::Office office;
  const vatrix::SpreadsheetFactory spreadsheets = [&office] {
    return std::make_unique<vatrix::OfficeSpreadsheet>(office);
  };
  try {
    return vatrix::RunExportCommand(options, std::cout, std::cerr, spreadsheets);
  } catch (const vatrix::BadArguments& problem) {
    return Usage(problem.what());
  }
}

}  // namespace

int main(int argc, char** argv) {
  vatrix::CleanUpOnInterrupt();  // before any thread starts, so that all inherit it
  if (argc < 2) return Usage("no command given");
  const std::string command = argv[1];
  const std::set<std::string> flags =
      command == "export" ? std::set<std::string>{"bill-amount"} : std::set<std::string>{};
  std::map<std::string, std::string> options;
  std::vector<std::string> plain;
  const std::string lacking = ParseArguments(argc, argv, flags, &options, &plain);
  if (!lacking.empty()) return Usage(lacking + " lacks its value");
  if (command == "sql") {
    if (options.size() != 1 || !options.count("folder") || plain.size() != 1) {
      return Usage("sql takes --folder DIR and one query text");
    }
    return vatrix::RunSqlCommand(options["folder"], plain[0], std::cout, std::cerr);
  }
  if (command == "figures") {
    if (options.size() != 3 || !options.count("folder") || !options.count("from") ||
        !options.count("to") || !plain.empty()) {
      return Usage("figures takes --folder, --from and --to");
    }
    return vatrix::RunFiguresCommand(options["folder"], options["from"], options["to"], std::cout,
                                     std::cerr);
  }
  if (command == "companies") {
    if (options.size() != 1 || !options.count("host") || !plain.empty()) {
      return Usage("companies takes --host DIR");
    }
    return vatrix::RunCompaniesCommand(options["host"], std::cout, std::cerr);
  }
  if (command == "export") return Export(options, plain);
  return Usage("unknown command " + command);
}
