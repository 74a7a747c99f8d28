// The office engine with the moments of opening the template and saving taken, so that a
// whole builder run splits into its parts: before the workbook (queries), office start with
// the template, cells, save.
#ifndef VATRIX_BENCH_TIMED_SPREADSHEET_H_
#define VATRIX_BENCH_TIMED_SPREADSHEET_H_

#include <chrono>
#include <ctime>
#include <map>
#include <string>

#include "workbook/office_spreadsheet.h"

namespace vatrix::bench {

using Clock = std::chrono::steady_clock;

inline double Seconds(Clock::time_point from, Clock::time_point to) {
  return std::chrono::duration<double>(to - from).count();
}

// Cells written by row and column, for a reference made of the same values.
using WrittenCells = std::map<int, std::map<int, CellValue>>;

class TimedSpreadsheet : public OfficeSpreadsheet {
 public:
  // Keeps every written cell in `cells` unless it is null.
  TimedSpreadsheet(Office& office, WrittenCells* cells)
      : OfficeSpreadsheet(office), cells_(cells) {}

  void Open(const std::string& path) override {
    open_begin = Clock::now();
    open_begin_cpu = std::clock();
    OfficeSpreadsheet::Open(path);
    open_end = Clock::now();
  }
  void Write(const Sheet& sheet, int row, int column, const CellValue& value) override {
    if (cells_) (*cells_)[row][column] = value;
    OfficeSpreadsheet::Write(sheet, row, column, value);
  }
  void SaveAs(const std::string& path, int file_format) override {
    save_begin = Clock::now();
    OfficeSpreadsheet::SaveAs(path, file_format);
    save_end = Clock::now();
  }

  // The moments of the last run (one workbook per run).
  inline static Clock::time_point open_begin, open_end, save_begin, save_end;
  // The process's processor time when the template began to open.
  inline static std::clock_t open_begin_cpu = 0;

 private:
  WrittenCells* cells_;
};

// The parts of one builder run, in seconds; `before_workbook_cpu` is the processor time the
// process spent before the template began to open, which other load on the machine does not
// stretch.
struct Split {
  double before_workbook = 0, office = 0, cells = 0, save = 0, total = 0;
  double before_workbook_cpu = 0;
};

// The split of a run that began at `start` (processor time `start_cpu`) and ended at `end`.
inline Split SplitOf(Clock::time_point start, std::clock_t start_cpu, Clock::time_point end) {
  using T = TimedSpreadsheet;
  return {Seconds(start, T::open_begin),
          Seconds(T::open_begin, T::open_end),
          Seconds(T::open_end, T::save_begin),
          Seconds(T::save_begin, T::save_end),
          Seconds(start, end),
          static_cast<double>(T::open_begin_cpu - start_cpu) / CLOCKS_PER_SEC};
}

}  // namespace vatrix::bench

#endif  // VATRIX_BENCH_TIMED_SPREADSHEET_H_
