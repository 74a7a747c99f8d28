// Runs the Form 201A list builder end to end on the large sample company 1234 for April to
// September 2015 (all sales accounts; some 42,000 bills) into an .xls file through the office,
// office start included (begun beside the query, as the program begins it), and splits the
// time into query, what is left of the office start with the template load, rows and save. Beside
// it, the time the office takes to turn the same rows and columns from a CSV file into an .xls file
// from the command line (its own start included), and that of a one-line CSV, which is the command
// line's fixed cost. Every builder run is a fresh process (tables read from their files, a new
// office). Prints every run and the medians, for the "Old Type" layout (42,000 bills outgrow the
// 40,000 prepared rows of the largest template, so rows are inserted first) and the macro-based one
// (no macro in the sample templates: the rows are inserted natively).
//
//   list_export_bench --sample DIR [--runs R] [--layout old|macro|both]
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "app/background_office.h"
#include "bench/in_child.h"
#include "bench/median.h"
#include "bench/office_conversion.h"
#include "hostdata/host_error.h"
#include "hostdata/huge_page_heap.h"
#include "hostdata/selection_lists.h"
#include "returns/build_fixture.h"
#include "returns/list_forms.h"
#include "returns/return_forms.h"
#include "workbook/csv_text.h"
#include "workbook/office_spreadsheet.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point from, Clock::time_point to) {
  return std::chrono::duration<double>(to - from).count();
}

// The office engine, with the moments of opening and saving taken and the written cells kept.
class TimedSpreadsheet : public vatrix::OfficeSpreadsheet {
 public:
  TimedSpreadsheet(vatrix::Office& office, std::map<int, std::map<int, vatrix::CellValue>>* cells)
      : OfficeSpreadsheet(office), cells_(cells) {}
  void Open(const std::string& path) override {
    open_begin = Clock::now();
    OfficeSpreadsheet::Open(path);
    open_end = Clock::now();
  }
  void OpenWithMacros(const std::string& path) override {
    open_begin = Clock::now();
    OfficeSpreadsheet::OpenWithMacros(path);
    open_end = Clock::now();
  }
  void Write(const vatrix::Sheet& sheet, int row, int column,
             const vatrix::CellValue& value) override {
    if (cells_) (*cells_)[row][column] = value;
    OfficeSpreadsheet::Write(sheet, row, column, value);
  }
  void SaveAs(const std::string& path, int file_format) override {
    save_begin = Clock::now();
    OfficeSpreadsheet::SaveAs(path, file_format);
    save_end = Clock::now();
  }
  inline static Clock::time_point open_begin, open_end, save_begin, save_end;

 private:
  std::map<int, std::map<int, vatrix::CellValue>>* cells_;
};

struct Times {
  double query, start, rows, save, total;
  int rows_written;
};

Times RunBuilder(const std::string& sample, bool old_type, const fs::path& out,
                 std::map<int, std::map<int, vatrix::CellValue>>* cells) {
  vatrix::testing::BuildFixture run;
  run.session.ReturnCode = "201A";
  run.session.PeriodRange = " Between #4/1/2015# and #9/30/2015# ";
  run.session.PeriodName = "First Half";
  vatrix::FormwiseRecordSet(
      vatrix::FormwiseChoiceOf(*vatrix::FindReturnForm("201A"), sample, "1234", false), &run.lists,
      run.ui);
  for (const vatrix::ListItem& item : run.lists.list1) {
    run.session.AccountCodes +=
        (run.session.AccountCodes.empty() ? "'" : ",'") + std::to_string(item.code) + "'";
  }
  run.panel.output_folder = out.parent_path().string() + "/";
  run.panel.file_name = out.stem().string();
  run.panel.old_type = old_type;
  const auto t0 = Clock::now();
  vatrix::BackgroundOffice office;  // beside the query, as vatrix-cli and the window start it
  office.Start();
  run.spreadsheets = [&] { return std::make_unique<TimedSpreadsheet>(office.Started(), cells); };
  vatrix::BuildContext context = run.Context();
  vatrix::Form201A(context);
  const auto t1 = Clock::now();
  const vatrix::Message last = run.ui.messages.empty() ? vatrix::Message{} : run.ui.messages.back();
  if (last.icon != vatrix::MessageIcon::kInformation) {
    std::fprintf(stderr, "%s: %s\n", last.title.c_str(), last.text.c_str());
    std::exit(1);
  }
  return {Seconds(t0, TimedSpreadsheet::open_begin),
          Seconds(TimedSpreadsheet::open_begin, TimedSpreadsheet::open_end),
          Seconds(TimedSpreadsheet::open_end, TimedSpreadsheet::save_begin),
          Seconds(TimedSpreadsheet::save_begin, TimedSpreadsheet::save_end),
          Seconds(t0, t1),
          std::stoi(run.wait.state().total_records)};
}

std::string CsvOf(const std::map<int, std::map<int, vatrix::CellValue>>& cells) {
  vatrix::TextGrid grid;
  for (const auto& [row, columns] : cells) {
    std::vector<std::string> line;
    for (const auto& [column, value] : columns) {
      const double* number = std::get_if<double>(&value);
      line.push_back(number ? vatrix::FormatNumber(*number) : std::get<std::string>(value));
    }
    grid.push_back(std::move(line));
  }
  return vatrix::CsvBytes(grid);
}

// RunBuilder in a fresh process, so that every run starts cold: tables read from their files
// and a new office. The first run also leaves the written rows as `csv`.
Times RunBuilderInChild(const std::string& sample, bool old_type, const fs::path& out,
                        const fs::path* csv) {
  return vatrix::bench::InChild([&] {
    std::map<int, std::map<int, vatrix::CellValue>> cells;
    const Times times = RunBuilder(sample, old_type, out, csv ? &cells : nullptr);
    if (csv) std::ofstream(*csv, std::ios::binary) << CsvOf(cells);
    return times;
  });
}

// Runs the builder `runs` times per layout of `layout` and prints the medians; scratch files go
// to `dir`.
void Measure(const std::string& sample, const std::string& layout, int runs, const fs::path& dir) {
  const fs::path tiny = dir / "line.csv";
  std::ofstream(tiny, std::ios::binary) << "1,Invoice,01/04/2015\r\n";
  std::vector<bool> layouts;
  if (layout != "macro") layouts.push_back(true);
  if (layout != "old") layouts.push_back(false);
  for (bool old_type : layouts) {
    const char* name = old_type ? "Old Type" : "Macro Based";
    const fs::path csv = dir / "bills.csv";
    std::vector<double> query, start, rows, save, total, convert, overhead;
    int count = 0;
    for (int run = 0; run < runs; ++run) {
      const fs::path out = dir / ("run" + std::to_string(run) + (old_type ? "o" : "m") + ".xls");
      const Times t = RunBuilderInChild(sample, old_type, out, run == 0 ? &csv : nullptr);
      convert.push_back(vatrix::bench::OfficeConvertToXls(csv, dir));
      overhead.push_back(vatrix::bench::OfficeConvertToXls(tiny, dir));
      query.push_back(t.query);
      start.push_back(t.start);
      rows.push_back(t.rows);
      save.push_back(t.save);
      total.push_back(t.total);
      count = t.rows_written;
      fs::remove(out);
      std::printf(
          "%s run %d: %.2f s (query %.2f, office start and template %.2f, rows %.2f, "
          "save %.2f), office CSV conversion %.2f s (of a one-line CSV %.2f s)\n",
          name, run + 1, t.total, t.query, t.start, t.rows, t.save, convert.back(),
          overhead.back());
    }
    std::printf("%s, Form 201A, %d bills, medians over %d runs, each in a fresh process:\n", name,
                count, runs);
    std::printf(
        "  builder: query %.2f s, office start and template %.2f s, rows %.2f s, save "
        "%.2f s, total %.2f s\n",
        vatrix::bench::Median(query), vatrix::bench::Median(start), vatrix::bench::Median(rows),
        vatrix::bench::Median(save), vatrix::bench::Median(total));
    std::printf(
        "  office CSV to .xls conversion of the same rows (its own start included): "
        "%.2f s; of a one-line CSV: %.2f s\n",
        vatrix::bench::Median(convert), vatrix::bench::Median(overhead));
    std::printf("  ratio builder / conversion: %.2f\n",
                vatrix::bench::Median(total) / vatrix::bench::Median(convert));
    std::vector<double> builder_work, convert_work;
    for (int run = 0; run < runs; ++run) {
      builder_work.push_back(total[run] - start[run]);
      convert_work.push_back(convert[run] - overhead[run]);
    }
    std::printf(
        "  without the office starts (builder less office start and template, conversion less "
        "that of a one-line CSV): %.2f s / %.2f s = %.2f\n",
        vatrix::bench::Median(builder_work), vatrix::bench::Median(convert_work),
        vatrix::bench::Median(builder_work) / vatrix::bench::Median(convert_work));
  }
}

}  // namespace

int main(int argc, char** argv) {
  vatrix::RestartWithHugePageHeap(argv);
  std::string sample, layout = "both";
  int runs = 3;
  for (int i = 1; i + 1 < argc; i += 2) {
    const std::string name = argv[i];
    if (name == "--sample") sample = argv[i + 1];
    if (name == "--runs") runs = std::atoi(argv[i + 1]);
    if (name == "--layout") layout = argv[i + 1];
  }
  if (sample.empty() || runs < 1 || argc % 2 == 0 ||
      (layout != "old" && layout != "macro" && layout != "both")) {
    std::fprintf(stderr,
                 "usage: list_export_bench --sample DIR [--runs R] [--layout old|macro|both]\n");
    return 2;
  }
  std::error_code error;
  if (!fs::is_directory(fs::path(sample) / "1234", error)) {
    std::fprintf(stderr,
                 "list_export_bench: %s holds no company 1234 (make_sample --out DIR "
                 "--large-bills N writes one)\n",
                 sample.c_str());
    return 1;
  }
  const fs::path dir =
      fs::temp_directory_path() / ("vatrix-list-bench-" + std::to_string(getpid()));
  fs::create_directories(dir);
  try {
    Measure(sample, layout, runs, dir);
  } catch (const std::exception& failure) {
    std::fprintf(stderr, "list_export_bench: %s\n", failure.what());
    fs::remove_all(dir, error);
    return 1;
  }
  fs::remove_all(dir, error);
  return 0;
}
