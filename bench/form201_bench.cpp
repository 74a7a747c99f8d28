// Form 201 end to end on the large sample company for April 2015 (or, with --period quarter,
// the second quarter, July to September 2015), on the real office: the time of each part
// (table loading, queries, office start with the template's opening, cells, save) and the
// whole builder, for a first run (a fresh process with a fresh office) and a second run in the
// same process (office up, tables loaded). Prints medians over several runs.
//
//   form201_bench [--sample DIR] [--company CODE] [--runs R] [--period month|quarter]
//
// DIR (default build/bench-sample) holds an installation with the large company 1234; it is
// generated there first when missing. Nothing is written into DIR: output goes to a temp
// folder that is removed afterwards.

#include <cstring>
#include <string>

#include "bench/return_bench.h"
#include "hostdata/huge_page_heap.h"
#include "returns/form201.h"
#include "returns/vat_credit.h"

int main(int argc, char** argv) {
  vatrix::RestartWithHugePageHeap(argv);
  bool quarter = false;
  for (int i = 1; i + 1 < argc; i += 2) {
    if (!std::strcmp(argv[i], "--period")) quarter = !std::strcmp(argv[i + 1], "quarter");
  }
  vatrix::bench::ReturnBench bench;
  bench.heading = quarter ? "Form 201, July to September 2015" : "Form 201, April 2015";
  bench.template_name = vatrix::kForm201Template;
  bench.tables = {"SP", "ITVAT", "STAX", "ACT", "LEDGER"};
  bench.preload = vatrix::Form201Queries;
  bench.return_type = quarter ? "Quaterly" : "Monthly";
  bench.set_session = [quarter](vatrix::Session* session) {
    session->ReturnCode = "201";
    session->YearFrom = "01/04/2015";
    if (quarter) {
      session->PeriodRange = " Between #7/1/2015# and #9/30/2015# ";
      session->PeriodStart = " #7/1/2015# ";
      session->PeriodIndex = 2;
    } else {
      session->PeriodRange = " Between #4/1/2015# and #4/30/2015# ";
      session->PeriodStart = " #4/1/2015# ";
      session->PeriodMonth = 4;
    }
  };
  bench.read = [return_type = bench.return_type](const vatrix::Connection& connection,
                                                 vatrix::Session* session,
                                                 vatrix::UserInterface& ui) {
    vatrix::VatCreditCheck(session, connection, return_type, ui);
    const vatrix::Form201Figures figures =
        vatrix::ReadForm201Figures(connection, session->PeriodRange, ui);
    return vatrix::bench::FillStep(
        [figures, credit = session->VatCredit](vatrix::Spreadsheet& sheets,
                                               vatrix::TemplateSession* workbook) {
          vatrix::FillForm201(sheets, workbook, figures, credit);
        });
  };
  bench.builder = vatrix::Form201;
  return vatrix::bench::ReturnBenchMain(argc, argv, bench);
}
