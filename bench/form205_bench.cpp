// Form 205 end to end on the large sample company for the whole financial year 2015-16, on the
// real office: the time of each part (table loading, queries, office start with the template's
// opening, cells, save) and the whole builder, for a first run (a fresh process with a fresh
// office) and a second run in the same process (office up, tables loaded). Prints medians over
// several runs. The April question is answered No.
//
//   form205_bench [--sample DIR] [--company CODE] [--runs R]
//
// DIR (default build/bench-sample) holds an installation with the large company 1234; it is
// generated there first when missing. Nothing is written into DIR: output goes to a temp
// folder that is removed afterwards.

#include "bench/return_bench.h"
#include "hostdata/huge_page_heap.h"
#include "returns/form205.h"

int main(int argc, char** argv) {
  vatrix::RestartWithHugePageHeap(argv);
  vatrix::bench::ReturnBench bench;
  bench.heading = "Form 205, year 2015-16";
  bench.template_name = vatrix::kForm205Template;
  bench.tables = {"SP", "ITVAT", "STAX", "ACT", "LEDGER"};
  bench.return_type = "Annually";
  bench.set_session = [](vatrix::Session* session) {
    session->ReturnCode = "205";
    session->YearFrom = "01/04/2015";
    session->YearTo = "31/03/2016";
    session->PeriodRange = " Between #4/1/2015# and #3/31/2016# ";
    session->PeriodStart = "#4/1/2015# ";
    session->PeriodIndex = 1;
  };
  bench.read = [](const vatrix::Connection& connection, vatrix::Session* session,
                  vatrix::UserInterface& ui) -> vatrix::bench::FillStep {
    const vatrix::Form205Figures figures =
        vatrix::ReadForm205Figures(connection, session->PeriodRange, ui);
    return [figures, session](vatrix::Spreadsheet& sheets, vatrix::TemplateSession* workbook) {
      vatrix::FillForm205(sheets, workbook, figures, false, &session->VatCredit);
    };
  };
  bench.builder = vatrix::Form205;
  return vatrix::bench::ReturnBenchMain(argc, argv, bench);
}
