// The reference the workbook benchmarks measure against: the office's own command-line
// conversion of a CSV file into an .xls file.
#ifndef VATRIX_BENCH_OFFICE_CONVERSION_H_
#define VATRIX_BENCH_OFFICE_CONVERSION_H_

#include <filesystem>

namespace vatrix::bench {

// Seconds that "soffice --headless --convert-to xls" takes to turn `csv` into an .xls file in
// `dir`/converted, with a fresh private profile in `dir`/profile seeded as the program's own
// office profile is (no first-start self-tests), its own start included. Ends
// the program when the conversion fails.
double OfficeConvertToXls(const std::filesystem::path& csv, const std::filesystem::path& dir);

}  // namespace vatrix::bench

#endif  // VATRIX_BENCH_OFFICE_CONVERSION_H_
