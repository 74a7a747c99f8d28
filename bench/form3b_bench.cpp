// Form 3B end to end on the large sample company for the first quarter of 2015-16, on the real
// office: each run a fresh process (tables read from their files, a new office), split into
// the queries (tables loaded, VAT credit check, fifteen figures, the rates), office start with
// the template, cells and save. Beside it, as the reference, the office's own command-line
// conversion of a one-line CSV file into an .xls file, which is what starting the office costs.
// Prints every run and the medians.
//
//   form3b_bench [--sample DIR] [--company CODE] [--runs R]
//
// DIR (default build/bench-sample) holds an installation with the large company 1234; it is
// generated there first when missing (only into a folder created for it). Output goes to a temp
// folder that is removed afterwards.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "bench/bench_sample.h"
#include "bench/in_child.h"
#include "bench/median.h"
#include "bench/office_conversion.h"
#include "bench/table_loading.h"
#include "bench/timed_spreadsheet.h"
#include "hostdata/connection.h"
#include "hostdata/huge_page_heap.h"
#include "returns/build_fixture.h"
#include "returns/form3b.h"

namespace {

namespace fs = std::filesystem;
using vatrix::bench::Clock;
using vatrix::bench::Split;

Split RunOnce(const std::string& sample, const std::string& company, const fs::path& out) {
  return vatrix::bench::InChild([&] {
    vatrix::testing::BuildFixture run;
    run.session.ReturnCode = "3B";
    run.session.PeriodRange = " Between #4/1/2015# and #6/30/2015# ";
    run.session.PeriodStart = " #4/1/2015# ";
    run.session.PeriodIndex = 1;
    run.panel.return_type = "Quaterly";
    run.panel.output_folder = out.string() + "/";
    run.panel.file_name = "CST - 3B";
    const auto start = Clock::now();
    const std::clock_t start_cpu = std::clock();
    vatrix::Office office;
    run.spreadsheets = [&office] {
      return std::make_unique<vatrix::bench::TimedSpreadsheet>(office, nullptr);
    };
    run.lists.connection.OpenFolder(vatrix::CompanyFolder(sample, company));
    vatrix::BuildContext context = run.Context();
    vatrix::Form3B(context);
    const auto end = Clock::now();
    if (run.ui.messages.size() != 1 ||
        run.ui.messages[0].icon != vatrix::MessageIcon::kInformation) {
      std::fprintf(stderr, "bench: %s", run.ui.Transcript().c_str());
      std::exit(1);
    }
    return vatrix::bench::SplitOf(start, start_cpu, end);
  });
}

}  // namespace

int main(int argc, char** argv) {
  vatrix::RestartWithHugePageHeap(argv);
  std::string sample = "build/bench-sample";
  std::string company = "1234";
  int runs = 5;
  for (int i = 1; i + 1 < argc; i += 2) {
    if (!std::strcmp(argv[i], "--sample"))
      sample = argv[i + 1];
    else if (!std::strcmp(argv[i], "--company"))
      company = argv[i + 1];
    else if (!std::strcmp(argv[i], "--runs"))
      runs = std::max(1, std::atoi(argv[i + 1]));
  }
  vatrix::SampleOptions options;
  options.large_bills = 100000;
  if (!vatrix::bench::PrepareSample(sample, company, options)) return 1;
  char pattern[] = "/tmp/form3b-bench-XXXXXX";
  if (!mkdtemp(pattern)) return 1;
  const fs::path dir = pattern;
  const fs::path line = dir / "line.csv";
  std::ofstream(line, std::ios::binary) << "1,CST,01/04/2015\r\n";

  const std::string folder = vatrix::CompanyFolder(sample, company);
  std::vector<double> loading, queries, queries_cpu, office, cells, save, total, reference;
  for (int i = 0; i < runs; ++i) {
    const fs::path out = dir / ("run" + std::to_string(i));
    fs::create_directory(out);
    const Split s = RunOnce(sample, company, out);
    reference.push_back(vatrix::bench::OfficeConvertToXls(line, dir));
    loading.push_back(vatrix::bench::TableLoadSeconds(folder, {"SP", "STAX", "ACT", "LEDGER"}));
    queries.push_back(s.before_workbook);
    queries_cpu.push_back(s.before_workbook_cpu);
    office.push_back(s.office);
    cells.push_back(s.cells);
    save.push_back(s.save);
    total.push_back(s.total);
    std::printf(
        "run %d: %.2f s (queries %.2f [processor %.2f], office start and template %.2f, cells "
        "%.2f, save %.2f), "
        "tables loaded alone %.2f s, office conversion of a one-line CSV %.2f s\n",
        i + 1, s.total, s.before_workbook, s.before_workbook_cpu, s.office, s.cells, s.save,
        loading.back(), reference.back());
  }
  fs::remove_all(dir);
  using vatrix::bench::Median;
  std::printf(
      "Form 3B, company %s, April to June 2015, medians over %d runs, each in a fresh "
      "process:\n",
      company.c_str(), runs);
  std::printf(
      "  queries %.2f s, office start and template %.2f s, cells %.2f s, save %.2f s, "
      "total %.2f s (target: at most 5 s)\n",
      Median(queries), Median(office), Median(cells), Median(save), Median(total));
  std::printf(
      "  of the queries: loading the tables (SP, STAX, ACT, LEDGER) alone %.2f s; the "
      "process's processor time %.2f s, which other load does not stretch\n",
      Median(loading), Median(queries_cpu));
  std::printf("  reference, the office's conversion of a one-line CSV: %.2f s; ratio %.2f\n",
              Median(reference), Median(total) / Median(reference));
  return 0;
}
