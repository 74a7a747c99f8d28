// Writes a 40,000-row list of ten columns (texts, dates as text, numbers) into the large list
// template through the office engine and saves it as .xls, timing the office start (with the
// template load), the writes and the save. Beside it, the time the office itself takes to turn
// the same rows from a CSV file into an .xls file from the command line (its own start
// included). Prints medians over the runs and the ratio of the two totals.
//
//   workbook_bench [--template PATH] [--rows N] [--first-row R] [--runs R]
//
// PATH defaults to build/Master/VAT_RET_201A_40000_Monthly_New.xls.
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "bench/median.h"
#include "bench/office_conversion.h"
#include "hostdata/host_error.h"
#include "hostdata/huge_page_heap.h"
#include "workbook/csv_text.h"
#include "workbook/office_spreadsheet.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

struct Options {
  std::string template_path =
      std::string(VATRIX_BINARY_DIR) + "/Master/VAT_RET_201A_40000_Monthly_New.xls";
  int rows = 40000;
  int first_row = 5;
  int runs = 1;
};

double Seconds(Clock::time_point from, Clock::time_point to) {
  return std::chrono::duration<double>(to - from).count();
}

std::string TwoDigits(int value) { return (value < 10 ? "0" : "") + std::to_string(value); }

// Bill i of the list: invoice number, date, party, TIN, state (texts) and four amounts, and
// the declaration form.
std::vector<vatrix::CellValue> Bill(int i) {
  const double taxable = 1000 + (i % 997) * 3.25;
  return {std::string("INV/") + std::to_string(100000 + i),
          TwoDigits(1 + i % 28) + "/04/2015",
          "Party " + std::to_string(i % 1500) + ", Traders",
          std::to_string(24000000000LL + i),
          std::string(i % 3 ? "Gujarat" : "Maharashtra"),
          taxable,
          taxable * 0.04,
          taxable * 0.01,
          taxable * 1.05,
          std::string(i % 2 ? "CST-Form C" : "")};
}

std::string CsvOfBills(int rows) {
  vatrix::TextGrid grid;
  for (int i = 0; i < rows; ++i) {
    std::vector<std::string> line;
    for (const vatrix::CellValue& value : Bill(i)) {
      const double* number = std::get_if<double>(&value);
      line.push_back(number ? std::to_string(*number) : std::get<std::string>(value));
    }
    grid.push_back(std::move(line));
  }
  return vatrix::CsvBytes(grid);
}

struct EngineTimes {
  double start, write, save;
};

EngineTimes RunEngine(const Options& options, const fs::path& out) {
  const auto t0 = Clock::now();
  vatrix::Office office;
  vatrix::OfficeSpreadsheet book(office);
  book.Open(options.template_path);
  const vatrix::Sheet sheet = book.SheetAt(1);
  book.Activate(sheet);
  const auto t1 = Clock::now();
  for (int i = 0; i < options.rows; ++i) {
    const std::vector<vatrix::CellValue> bill = Bill(i);
    for (size_t c = 0; c < bill.size(); ++c) {
      book.Write(sheet, options.first_row + i, static_cast<int>(c) + 2, bill[c]);
    }
  }
  book.Read(sheet, options.first_row, 2);  // every write has reached the sheet
  const auto t2 = Clock::now();
  book.SaveAs(out.string(), vatrix::kFormatExcel97);
  book.Quit();
  const auto t3 = Clock::now();
  return {Seconds(t0, t1), Seconds(t1, t2), Seconds(t2, t3)};
}

bool ParseArguments(int argc, char** argv, Options& options) {
  for (int i = 1; i + 1 < argc; i += 2) {
    const std::string name = argv[i];
    if (name == "--template") {
      options.template_path = argv[i + 1];
    } else if (name == "--rows") {
      options.rows = std::atoi(argv[i + 1]);
    } else if (name == "--first-row") {
      options.first_row = std::atoi(argv[i + 1]);
    } else if (name == "--runs") {
      options.runs = std::atoi(argv[i + 1]);
    } else {
      return false;
    }
  }
  return argc % 2 == 1 && options.rows > 0 && options.first_row > 0 && options.runs > 0;
}

}  // namespace

int main(int argc, char** argv) {
  vatrix::RestartWithHugePageHeap(argv);
  Options options;
  if (!ParseArguments(argc, argv, options)) {
    std::fprintf(stderr,
                 "usage: workbook_bench [--template PATH] [--rows N] [--first-row R] "
                 "[--runs R]\n");
    return 2;
  }
  const fs::path dir = fs::temp_directory_path() / ("vatrix-bench-" + std::to_string(getpid()));
  fs::create_directories(dir);
  std::ofstream(dir / "bills.csv", std::ios::binary) << CsvOfBills(options.rows);
  std::vector<double> starts, writes, saves, totals, converts;
  try {
    for (int run = 0; run < options.runs; ++run) {
      const fs::path out = dir / ("run" + std::to_string(run) + ".xls");
      const EngineTimes times = RunEngine(options, out);
      starts.push_back(times.start);
      writes.push_back(times.write);
      saves.push_back(times.save);
      totals.push_back(times.start + times.write + times.save);
      fs::remove_all(dir / "profile");
      fs::remove_all(dir / "converted");
      converts.push_back(vatrix::bench::OfficeConvertToXls(dir / "bills.csv", dir));
      std::printf("run %d: engine %.2f s (start %.2f, write %.2f, save %.2f), convert %.2f s\n",
                  run + 1, totals.back(), times.start, times.write, times.save, converts.back());
    }
  } catch (const vatrix::HostError& error) {
    std::fprintf(stderr, "%s (%s)\n", error.description().c_str(), error.source().c_str());
    fs::remove_all(dir);
    return 1;
  }
  fs::remove_all(dir);
  std::printf("%d rows x 10 columns into %s, medians over %d runs:\n", options.rows,
              fs::path(options.template_path).filename().c_str(), options.runs);
  std::printf("  engine:  office start %.2f s, write %.2f s, save %.2f s, total %.2f s\n",
              vatrix::bench::Median(starts), vatrix::bench::Median(writes),
              vatrix::bench::Median(saves), vatrix::bench::Median(totals));
  std::printf("  office CSV to .xls conversion (its own start included): %.2f s\n",
              vatrix::bench::Median(converts));
  std::printf("  ratio engine / conversion: %.2f\n",
              vatrix::bench::Median(totals) / vatrix::bench::Median(converts));
  return 0;
}
