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

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <string>
#include <vector>

#include "bench/bench_sample.h"
#include "bench/in_child.h"
#include "bench/median.h"
#include "hostdata/connection.h"
#include "hostdata/user_interface.h"
#include "returns/build_fixture.h"
#include "returns/form205.h"
#include "workbook/office_spreadsheet.h"
#include "workbook/template_session.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

class QuietUi : public vatrix::UserInterface {
 public:
  vatrix::MessageAnswer ShowMessage(const vatrix::Message& message) override {
    if (message.icon == vatrix::MessageIcon::kQuestion) return vatrix::MessageAnswer::kNo;
    if (message.icon != vatrix::MessageIcon::kInformation) {
      std::fprintf(stderr, "%s: %s\n", message.title.c_str(), message.text.c_str());
      failed = true;
    }
    return vatrix::MessageAnswer::kOk;
  }
  void EndProgram() override { failed = true; }
  bool failed = false;
};

double Seconds(Clock::time_point since) {
  return std::chrono::duration<double>(Clock::now() - since).count();
}

double CpuSeconds(std::clock_t since) {
  return static_cast<double>(std::clock() - since) / CLOCKS_PER_SEC;
}

// The seconds of one run's parts, and of one whole builder run. The processor time of the
// loading and the queries, which run in this process, is kept beside their time: other load
// on the machine stretches the time but not the processor time.
struct Split {
  double load = 0, queries = 0, office = 0, cells = 0, save = 0, builder = 0;
  double load_cpu = 0, queries_cpu = 0;
  double parts() const { return load + queries + office + cells + save; }
};

struct Run {
  std::string host, company, out;
  vatrix::Session session;
  vatrix::SelectionLists lists;
  QuietUi ui;

  Run(std::string host_folder, std::string code, std::string out_folder)
      : host(std::move(host_folder)), company(std::move(code)), out(std::move(out_folder)) {
    session.AppTitle = vatrix::kAppTitle;
    session.ReturnCode = "205";
    session.YearFrom = "01/04/2015";
    session.YearTo = "31/03/2016";
    session.FileFormat = vatrix::kFormatExcel97;
    session.PeriodRange = " Between #4/1/2015# and #3/31/2016# ";
    session.PeriodStart = "#4/1/2015# ";
    session.PeriodIndex = 1;
  }

  vatrix::OutputChoice Output(const std::string& name) const { return {out + "/", name, ".xls"}; }

  // The builder's steps one by one, each timed.
  void Parts(vatrix::Office& office, const std::string& name, Split* split) {
    auto start = Clock::now();
    auto cpu = std::clock();
    lists.connection.OpenFolder(vatrix::CompanyFolder(host, company));
    for (const char* table : {"SP", "ITVAT", "STAX", "ACT", "LEDGER"}) {
      lists.connection.Execute(std::string("SELECT Count(*) FROM ") + table);
    }
    split->load = Seconds(start);
    split->load_cpu = CpuSeconds(cpu);
    start = Clock::now();
    cpu = std::clock();
    const vatrix::Form205Figures figures =
        vatrix::ReadForm205Figures(lists.connection, session.PeriodRange, ui);
    split->queries = Seconds(start);
    split->queries_cpu = CpuSeconds(cpu);
    start = Clock::now();
    vatrix::OfficeSpreadsheet sheets(office);
    sheets.Open(std::string(VATRIX_BINARY_DIR) + "/Master/" + vatrix::kForm205Template);
    split->office = Seconds(start);
    start = Clock::now();
    vatrix::TemplateSession workbook;
    vatrix::FillForm205(sheets, &workbook, figures, false, &session.VatCredit);
    split->cells = Seconds(start);
    start = Clock::now();
    vatrix::CloseExcelApplication(sheets, Output(name), session.FileFormat);
    sheets.Quit();
    split->save = Seconds(start);
  }

  // The builder itself, as Proceed calls it.
  double Builder(vatrix::Office& office, const std::string& name) {
    const auto start = Clock::now();
    vatrix::testing::BuildFixture run;
    run.session = session;
    run.lists.connection.OpenFolder(vatrix::CompanyFolder(host, company));
    run.panel.output_folder = out + "/";
    run.panel.file_name = name;
    run.panel.return_type = "Annually";
    run.ui.answer = vatrix::MessageAnswer::kNo;
    run.spreadsheets = [&office] { return std::make_unique<vatrix::OfficeSpreadsheet>(office); };
    vatrix::BuildContext context = run.Context();
    vatrix::Form205(context);
    for (const vatrix::Message& message : run.ui.messages) ui.ShowMessage(message);
    return Seconds(start);
  }
};

struct Measured {
  Split first;   // fresh process, fresh office
  Split second;  // same process, office up
  bool failed = false;
};

// `builder`: whole builder runs, else the parts; in a child process so the first run starts
// from nothing.
Measured MeasureInChild(const std::string& host, const std::string& company, const std::string& out,
                        bool builder) {
  const Measured measured = vatrix::bench::InChild([&] {
    Measured measured;
    vatrix::Office office;
    Run run(host, company, out);
    try {
      if (builder) {
        measured.first.builder = run.Builder(office, "first");
        measured.second.builder = run.Builder(office, "second");
      } else {
        run.Parts(office, "first", &measured.first);
        run.Parts(office, "second", &measured.second);
      }
    } catch (const std::exception& error) {
      std::fprintf(stderr, "bench: %s\n", error.what());
      measured.failed = true;
    }
    measured.failed = measured.failed || run.ui.failed;
    return measured;
  });
  if (measured.failed) {
    std::fprintf(stderr, "bench: the measuring process failed\n");
    std::exit(1);
  }
  fs::remove_all(out);
  fs::create_directory(out);
  return measured;
}

void PrintSplit(const char* label, const std::vector<Split>& splits) {
  const auto median = [&splits](double Split::*part) {
    std::vector<double> values;
    for (const Split& split : splits) values.push_back(split.*part);
    return vatrix::bench::Median(values);
  };
  std::vector<double> totals;
  for (const Split& split : splits) totals.push_back(split.parts());
  std::printf(
      "%-12s loading %6.3f  queries %6.3f  office start+open %6.3f  cells %6.3f  save %6.3f"
      "  = %6.3f s\n%-12s (processor time: loading %6.3f  queries %6.3f)\n",
      label, median(&Split::load), median(&Split::queries), median(&Split::office),
      median(&Split::cells), median(&Split::save), vatrix::bench::Median(totals), "",
      median(&Split::load_cpu), median(&Split::queries_cpu));
}

}  // namespace

int main(int argc, char** argv) {
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
  char pattern[] = "/tmp/form205-bench-XXXXXX";
  if (!mkdtemp(pattern)) return 1;
  const std::string out = pattern;

  std::vector<Split> first, second;
  std::vector<double> builder_first, builder_second;
  for (int i = 0; i < runs; ++i) {
    const Measured parts = MeasureInChild(sample, company, out, false);
    first.push_back(parts.first);
    second.push_back(parts.second);
    const Measured whole = MeasureInChild(sample, company, out, true);
    builder_first.push_back(whole.first.builder);
    builder_second.push_back(whole.second.builder);
  }
  fs::remove_all(out);
  std::printf("Form 205, company %s, year 2015-16, on this machine (medians of %d runs):\n",
              company.c_str(), runs);
  PrintSplit("first run", first);
  PrintSplit("second run", second);
  std::printf("whole builder: first run %6.3f s (fresh process and office), second run %6.3f s\n",
              vatrix::bench::Median(builder_first), vatrix::bench::Median(builder_second));
  return 0;
}
