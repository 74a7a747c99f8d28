// vatrix-cli: the command line over the same code the window uses.
#include <cstring>
#include <iostream>
#include <map>
#include <string>
#include <vector>

#include "app/sql_command.h"

namespace {

constexpr char kUsage[] =
    "usage:\n"
    "  vatrix-cli sql --folder DIR \"QUERY\"\n"
    "      run one query on the tables in DIR and print the rows as CSV\n"
    "  vatrix-cli figures --folder DIR --from dd/MM/yyyy --to dd/MM/yyyy\n"
    "      print Form 201's aggregate figures Q1..Q30 for the company data in DIR\n";

int Usage(const std::string& problem) {
  std::cerr << "vatrix-cli: " << problem << "\n" << kUsage;
  return 2;
}

// Splits "--name value" pairs from the plain arguments; false on an option without a value.
bool ParseArguments(int argc, char** argv, std::map<std::string, std::string>* options,
                    std::vector<std::string>* plain) {
  for (int i = 2; i < argc; ++i) {
    if (std::strncmp(argv[i], "--", 2) == 0) {
      if (i + 1 >= argc) return false;
      (*options)[argv[i] + 2] = argv[i + 1];
      ++i;
    } else {
      plain->push_back(argv[i]);
    }
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return Usage("no command given");
  const std::string command = argv[1];
  std::map<std::string, std::string> options;
  std::vector<std::string> plain;
  if (!ParseArguments(argc, argv, &options, &plain)) return Usage("an option lacks its value");
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
  return Usage("unknown command " + command);
}
