// Form 201 end to end on the large sample company for April 2015, on the real office: the
// time of each part (table loading, queries, office start with the template's opening, cells,
// save) and the whole builder, for a first run (a fresh process with a fresh office) and a
// second run in the same process (office up, tables loaded). Prints medians over several runs.
//
//   form201_bench [--sample DIR] [--company CODE] [--runs R]
//
// DIR (default build/bench-sample) holds an installation with the large company 1234; it is
// generated there first when missing. Nothing is written into DIR: output goes to a temp
// folder that is removed afterwards.

#include "bench/return_bench.h"
#include "returns/form201.h"
#include "returns/vat_credit.h"

int main(int argc, char** argv) {
  vatrix::bench::ReturnBench bench;
  bench.heading = "Form 201, April 2015";
  bench.template_name = vatrix::kForm201Template;
  bench.tables = {"SP", "ITVAT", "STAX", "ACT", "LEDGER"};
  bench.preload = vatrix::Form201Queries;
  bench.return_type = "Monthly";
  bench.set_session = [](vatrix::Session* session) {
    session->ReturnCode = "201";
    session->YearFrom = "01/04/2015";
    session->PeriodRange = " Between #4/1/2015# and #4/30/2015# ";
    session->PeriodStart = " #4/1/2015# ";
    session->PeriodMonth = 4;
  };
  bench.read = [](const vatrix::Connection& connection, vatrix::Session* session,
                  vatrix::UserInterface& ui) -> vatrix::bench::FillStep {
    vatrix::VatCreditCheck(session, connection, "Monthly", ui);
    const vatrix::Form201Figures figures =
        vatrix::ReadForm201Figures(connection, session->PeriodRange, ui);
    return [figures, credit = session->VatCredit](vatrix::Spreadsheet& sheets,
                                                  vatrix::TemplateSession* workbook) {
      vatrix::FillForm201(sheets, workbook, figures, credit);
    };
  };
  bench.builder = vatrix::Form201;
  return vatrix::bench::ReturnBenchMain(argc, argv, bench);
}
