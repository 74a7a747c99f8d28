#include "app/cli_options.h"

#include <utility>

#include "app/export_options.h"
#include "hostdata/text.h"

namespace vatrix {

namespace {

struct CommandText {
  const char* name;
  const char* usage;
  const char* details;
};

constexpr char kCodePage[] =
    "  --code-page NAME   code page of table files whose header names none (CP850, CP1252,\n"
    "                     ...); by default UTF-8 text is told apart from CP1252 by its bytes\n";

const CommandText kCommands[] = {
    {"sql", "vatrix-cli sql --folder DIR [--code-page NAME] \"QUERY\"\n",
     "Runs one query, written in the accounting package's SQL dialect, over the tables in DIR\n"
     "and prints the rows as CSV with a header line (dates dd/MM/yyyy, numbers as stored, null\n"
     "as an empty field).\n\n"
     "  --folder DIR       the company's data folder (its .dbf tables)\n"},
    {"figures",
     "vatrix-cli figures --folder DIR --from dd/MM/yyyy --to dd/MM/yyyy [--code-page NAME]\n",
     "Prints Form 201's thirty aggregate figures for the company data in DIR over the dates\n"
     "from..to, one \"Qn,figure\" line each, Q1 to Q30 in the order of the form's queries.\n\n"
     "  --folder DIR       the company's data folder\n"
     "  --from DATE        the first day, dd/MM/yyyy\n"
     "  --to DATE          the last day, dd/MM/yyyy\n"},
    {"companies", "vatrix-cli companies --host DIR [--code-page NAME]\n",
     "Lists the companies of the installation in DIR (the folder holding Company.dbf), one a\n"
     "line, as the company chooser shows them: code | financial year | name.\n\n"
     "  --host DIR         the installation folder\n"},
    {"export",
     "vatrix-cli export --host DIR --company CODE --form FORM --type TYPE --period ITEM --out DIR\n"
     "       [--name NAME] [--file-type .xls|.csv] [--master DIR] [--ini FILE] [--code-page NAME]\n"
     "       [--accounts all|CODE,...] [--tax-types all|NAME,...] [--products all|CODE,...]\n"
     "       [--batches all|NO,...] [--layout old|macro] [--bill-amount]\n"
     "       [--state-field ADD3|ITNO|LICNO|EMAIL|CATEGORY|STATE] [--stock-date yes|no]\n"
     "       [--april-shift yes|no]\n",
     "Builds one return as the main window does and saves it into the output folder. An\n"
     "existing file is never replaced: the run fails instead.\n\n"
     "  --host DIR         the installation folder (holding Company.dbf)\n"
     "  --company CODE     the company's code (7 or 0007)\n"
     "  --form FORM        201, 201A, 201B, 201C, 202, 202A, 202B, 205, 3B, 3BSALES, 3BPURCHASE\n"
     "  --type TYPE        Monthly, Quarterly (or Quaterly), HalfYearly, Annually; any case\n"
     "  --period ITEM      a period item (04.April, 02.Quarter) or its number: a month's own\n"
     "                     number (4 is April, 1 January), else the quarter's or half-year's\n"
     "  --out DIR          the output folder, which must exist\n"
     "  --name NAME        the file name without its type; by default the window's proposal,\n"
     "                     e.g. \"Form 201 - Monthly - April\"\n"
     "  --file-type TYPE   .xls or .csv; by default .csv for 201A, 201B, 201C, 3BSALES and\n"
     "                     3BPURCHASE, else .xls (201, 202, 205 and 3B make .xls only)\n"
     "  --master DIR       the department templates (default: Master beside the program, or\n"
     "                     share/vatrix/Master of an installed program)\n"
     "  --ini FILE         the settings file (default: Vatrix.ini beside the program); a file\n"
     "                     named here must exist. \"Tax Selection\" under [Settings] turns on the\n"
     "                     tax-type list that --tax-types chooses from\n"
     "  --accounts LIST    all, or account codes separated by commas (bill lists)\n"
     "  --tax-types LIST   all, or tax type names (needs Tax Selection in the settings file)\n"
     "  --products LIST    all, or product codes (Form 201C)\n"
     "  --batches LIST     all, or batch numbers (Form 201C)\n"
     "  --layout KIND      old (the \"Old Type\" template) or macro (\"Macro Based\")\n"
     "  --bill-amount      one bill-amount column instead of the tax split (bill lists)\n"
     "  --state-field F    where the party's state is read (CST lists)\n"
     "  --stock-date yes|no  whether CST lists use the stock date\n"
     "  --april-shift yes|no  Form 205's question: is April's VAT payment the previous\n"
     "                     year's March payment? Without it a terminal asks, else no\n"},
    {"batch",
     "vatrix-cli batch JOBS.csv [--out DIR] [--summary FILE] [--host DIR] [--master DIR]\n"
     "       [--ini FILE] [--code-page NAME]\n",
     "Builds every return JOBS.csv lists with one office for the whole batch. JOBS.csv has a\n"
     "header line naming its columns, which are export's options without the dashes (host,\n"
     "company, form, type, period, out, name, file-type, accounts, tax-types, products,\n"
     "batches, layout, bill-amount, state-field, stock-date, april-shift); an empty cell takes\n"
     "the default, bill-amount takes yes or no, and company \"all\" means every company of the\n"
     "installation. Every line is checked before any work starts; all faults are reported\n"
     "with their line numbers and nothing runs. When the jobs span several companies, a job\n"
     "without its own out writes into a subfolder of --out named by the company's code and\n"
     "year (\"0007 2015-16\"). A job that fails does not stop the others. At the end a summary\n"
     "table is printed.\n\n"
     "  --out DIR          the output folder of jobs without their own\n"
     "  --summary FILE     also write the summary as CSV, or as JSON when FILE ends in .json\n"
     "                     (a new file: an existing one is not replaced)\n"
     "  --host DIR         the installation of jobs without their own\n"
     "  --master DIR       the department templates, as for export\n"
     "  --ini FILE         the settings file, as for export\n"},
};

const CommandText* FindCommand(const std::string& name) {
  for (const CommandText& command : kCommands) {
    if (name == command.name) return &command;
  }
  return nullptr;
}

}  // namespace

CommandArguments SplitArguments(const std::vector<std::string>& arguments,
                                const std::set<std::string>& flags) {
  CommandArguments split;
  bool options_end = false;
  for (size_t i = 0; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    if (options_end || argument.size() < 2 || argument[0] != '-' ||
        (argument[1] != '-' && argument != "-h")) {
      split.plain.push_back(argument);
      continue;
    }
    if (argument == "--") {
      options_end = true;
    } else if (argument == "-h" || argument == "--help") {
      split.help = true;
    } else {
      const size_t equals = argument.find('=');
      const std::string name =
          argument.substr(2, equals == std::string::npos ? equals : equals - 2);
      std::string value;
      if (flags.count(name)) {
        if (equals != std::string::npos) throw BadArguments("--" + name + " takes no value");
      } else if (equals != std::string::npos) {
        value = argument.substr(equals + 1);
      } else if (i + 1 < arguments.size() && arguments[i + 1].rfind("--", 0) != 0) {
        value = arguments[++i];
      } else {
        throw BadArguments("--" + name + " lacks its value");
      }
      if (!split.options.emplace(name, std::move(value)).second) {
        throw BadArguments("--" + name + " is given twice");
      }
    }
  }
  return split;
}

void CheckOptionNames(const std::string& command, const std::map<std::string, std::string>& given,
                      const std::set<std::string>& known) {
  for (const auto& [name, value] : given) {
    if (!known.count(name)) throw BadArguments(command + " has no option --" + name);
  }
}

std::string CommandHelp(const std::string& command) {
  const CommandText* text = FindCommand(command);
  if (!text) return "";
  return std::string("usage: ") + text->usage + "\n" + text->details + kCodePage +
         "  -h, --help         show this help\n";
}

std::string CommandUsage(const std::string& command) {
  std::string usage = "usage:\n";
  for (const CommandText& text : kCommands) {
    if (command.empty() || command == text.name) usage += std::string("  ") + text.usage;
  }
  return usage;
}

std::string ProgramHelp() {
  return CommandUsage("") +
         "  vatrix-cli help [COMMAND] | --help | --version\n\n"
         "Prepares VAT and CST returns from the accounting package's company tables.\n\n"
         "Commands:\n"
         "  sql        run one query over a company's tables, print CSV\n"
         "  figures    print Form 201's aggregate figures Q1..Q30 for a period\n"
         "  companies  list an installation's companies\n"
         "  export     build one return into the department's template\n"
         "  batch      build the returns a CSV file lists, with a summary\n\n"
         "Options are written --name value or --name=value. \"vatrix-cli COMMAND --help\" shows\n"
         "a command's options.\n\n"
         "Exit status: 0 success, 1 a failure (its message on stderr), 2 bad arguments.\n";
}

std::string CanonicalReturnType(const std::string& text) {
  const std::pair<const char*, const char*> kAliases[] = {
      {"monthly", "Monthly"},        {"month", "Monthly"},        {"quaterly", "Quaterly"},
      {"quarterly", "Quaterly"},     {"quarter", "Quaterly"},     {"halfyearly", "HalfYearly"},
      {"half-yearly", "HalfYearly"}, {"half-year", "HalfYearly"}, {"halfyear", "HalfYearly"},
      {"annually", "Annually"},      {"annual", "Annually"},      {"yearly", "Annually"}};
  for (const auto& [alias, name] : kAliases) {
    if (EqualsIgnoreCase(text, alias)) return name;
  }
  return text;
}

}  // namespace vatrix
