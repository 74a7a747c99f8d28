#include "bench/return_bench.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>

#include "app/background_office.h"
#include "bench/bench_sample.h"
#include "bench/in_child.h"
#include "bench/median.h"
#include "returns/build_fixture.h"
#include "workbook/office_spreadsheet.h"

namespace vatrix::bench {

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

// Any message but the success message fails the measurement; a question is answered No.
class QuietUi : public UserInterface {
 public:
  MessageAnswer ShowMessage(const Message& message) override {
    if (message.icon == MessageIcon::kQuestion) return MessageAnswer::kNo;
    if (message.icon != MessageIcon::kInformation) {
      std::fprintf(stderr, "%s: %s\n", message.title.c_str(), message.text.c_str());
      failed = true;
    }
    return MessageAnswer::kOk;
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

class Run {
 public:
  Run(const ReturnBench& bench, std::string host, std::string company, std::string out)
      : bench_(bench), host_(std::move(host)), company_(std::move(company)), out_(std::move(out)) {
    session_.AppTitle = kAppTitle;
    session_.FileFormat = kFormatExcel97;
    bench_.set_session(&session_);
  }

  // The builder's steps one by one, each timed.
  void Parts(Office& office, const std::string& name, Split* split) {
    auto start = Clock::now();
    auto cpu = std::clock();
    connection_.OpenFolder(CompanyFolder(host_, company_));
    if (bench_.preload) {
      connection_.Preload(bench_.preload(session_, bench_.return_type));
    } else {
      for (const std::string& table : bench_.tables) {
        connection_.Execute("SELECT Count(*) FROM " + table);
      }
    }
    split->load = Seconds(start);
    split->load_cpu = CpuSeconds(cpu);
    start = Clock::now();
    cpu = std::clock();
    const FillStep fill = bench_.read(connection_, &session_, ui_);
    split->queries = Seconds(start);
    split->queries_cpu = CpuSeconds(cpu);
    start = Clock::now();
    OfficeSpreadsheet sheets(office);
    sheets.Open(std::string(VATRIX_BINARY_DIR) + "/Master/" + bench_.template_name);
    split->office = Seconds(start);
    start = Clock::now();
    TemplateSession workbook;
    fill(sheets, &workbook);
    split->cells = Seconds(start);
    start = Clock::now();
    CloseExcelApplication(sheets, {out_ + "/", name, ".xls"}, session_.FileFormat);
    sheets.Quit();
    split->save = Seconds(start);
  }

  // The builder itself, as Proceed calls it.
  double Builder(SpreadsheetFactory spreadsheets, const std::string& name) {
    const auto start = Clock::now();
    testing::BuildFixture run;
    run.session = session_;
    run.lists.connection.OpenFolder(CompanyFolder(host_, company_));
    run.panel.output_folder = out_ + "/";
    run.panel.file_name = name;
    run.panel.return_type = bench_.return_type;
    run.ui.answer = MessageAnswer::kNo;
    run.spreadsheets = std::move(spreadsheets);
    BuildContext context = run.Context();
    bench_.builder(context);
    for (const Message& message : run.ui.messages) ui_.ShowMessage(message);
    return Seconds(start);
  }

  bool failed() const { return ui_.failed; }

 private:
  const ReturnBench& bench_;
  std::string host_, company_, out_;
  Session session_;
  Connection connection_;
  QuietUi ui_;
};

struct Measured {
  Split first;   // fresh process, fresh office
  Split second;  // same process, office up
  bool failed = false;
};

// `builder`: whole builder runs, else the parts; in a child process so the first run starts
// from nothing.
Measured MeasureInChild(const ReturnBench& bench, const std::string& host,
                        const std::string& company, const std::string& out, bool builder) {
  const Measured measured = InChild([&] {
    Measured measured;
    Office office;
    Run run(bench, host, company, out);
    try {
      if (builder) {
        BackgroundOffice started;  // beside the loading, as vatrix-cli and the window start it
        started.Start();
        measured.first.builder = run.Builder(started.Spreadsheets(), "first");
        measured.second.builder = run.Builder(started.Spreadsheets(), "second");
      } else {
        run.Parts(office, "first", &measured.first);
        run.Parts(office, "second", &measured.second);
      }
    } catch (const std::exception& error) {
      std::fprintf(stderr, "bench: %s\n", error.what());
      measured.failed = true;
    }
    measured.failed = measured.failed || run.failed();
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
    return Median(values);
  };
  std::vector<double> totals;
  for (const Split& split : splits) totals.push_back(split.parts());
  std::printf(
      "%-12s loading %6.3f  queries %6.3f  office start+open %6.3f  cells %6.3f  save %6.3f"
      "  = %6.3f s\n%-12s (processor time: loading %6.3f  queries %6.3f)\n",
      label, median(&Split::load), median(&Split::queries), median(&Split::office),
      median(&Split::cells), median(&Split::save), Median(totals), "", median(&Split::load_cpu),
      median(&Split::queries_cpu));
}

int RunReturnBench(const ReturnBench& bench, const std::string& host, const std::string& company,
                   int runs) {
  char pattern[] = "/tmp/vatrix-return-bench-XXXXXX";
  if (!mkdtemp(pattern)) return 1;
  const std::string out = pattern;
  std::vector<Split> first, second;
  std::vector<double> builder_first, builder_second;
  for (int i = 0; i < runs; ++i) {
    const Measured parts = MeasureInChild(bench, host, company, out, false);
    first.push_back(parts.first);
    second.push_back(parts.second);
    const Measured whole = MeasureInChild(bench, host, company, out, true);
    builder_first.push_back(whole.first.builder);
    builder_second.push_back(whole.second.builder);
  }
  fs::remove_all(out);
  std::printf("%s, company %s, on this machine (medians of %d runs):\n", bench.heading.c_str(),
              company.c_str(), runs);
  PrintSplit("first run", first);
  PrintSplit("second run", second);
  std::printf(
      "whole builder: first run %6.3f s (fresh process, office started beside it), second run "
      "%6.3f s\n",
      Median(builder_first), Median(builder_second));
  return 0;
}

}  // namespace

int ReturnBenchMain(int argc, char** argv, const ReturnBench& bench) {
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
  SampleOptions options;
  options.large_bills = 100000;
  if (!PrepareSample(sample, company, options)) return 1;
  return RunReturnBench(bench, sample, company, runs);
}

}  // namespace vatrix::bench
