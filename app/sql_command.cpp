#include "app/sql_command.h"

#include <optional>
#include <tuple>

#include "app/console_ui.h"
#include "app/record_csv.h"
#include "hostdata/connection.h"
#include "hostdata/host_error.h"
#include "hostdata/query_helpers.h"
#include "hostdata/value.h"
#include "returns/form201_queries.h"

namespace vatrix {

namespace {

std::string DateLiteral(const Date& date) {
  return "#" + std::to_string(date.month) + "/" + std::to_string(date.day) + "/" +
         std::to_string(date.year) + "#";
}

}  // namespace

int RunSqlCommand(const std::string& folder, const std::string& query, std::ostream& out,
                  std::ostream& err) {
  try {
    Connection connection;
    connection.OpenFolder(folder);
    RecordSet records = connection.Execute(query);
    WriteCsv(records, out);
    return 0;
  } catch (const HostError& error) {
    err << "vatrix-cli: Error Number : " << error.number()
        << " / Error Description : " << PrintableText(error.description()) << " "
        << PrintableText(error.source()) << std::endl;
    return 1;
  }
}

int RunFiguresCommand(const std::string& folder, const std::string& from, const std::string& to,
                      std::ostream& out, std::ostream& err) {
  const auto first = ParseDisplayDate(from);
  const auto last = ParseDisplayDate(to);
  if (!first || !last) {
    err << "vatrix-cli: figures: --from and --to are written dd/MM/yyyy" << std::endl;
    return 2;
  }
  if (std::tie(last->year, last->month, last->day) <
      std::tie(first->year, first->month, first->day)) {
    err << "vatrix-cli: figures: the period ends (--to " << to << ") before it begins (--from "
        << from << ")" << std::endl;
    return 2;
  }
  ConsoleUi ui(out, err);
  try {
    Connection connection;
    connection.OpenFolder(folder);
    const std::string period =
        " Between " + DateLiteral(*first) + " and " + DateLiteral(*last) + " ";
    const auto queries = Form201AggregateQueries(period);
    for (size_t i = 0; i < queries.size(); ++i) {
      const double amount = getAmount(connection, queries[i], ui);  // may stop the run
      out << "Q" << i + 1 << "," << FormatNumber(amount) << "\n";
    }
  } catch (const HostError& error) {
    err << "vatrix-cli: Error Number : " << error.number()
        << " / Error Description : " << PrintableText(error.description()) << " "
        << PrintableText(error.source()) << std::endl;
    return 1;
  } catch (const ProgramEnding& ending) {
    err << "vatrix-cli: " << ending.what() << std::endl;
    return 1;
  }
  return ui.failed() ? 1 : 0;
}

}  // namespace vatrix
