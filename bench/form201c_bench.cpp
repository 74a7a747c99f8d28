// Form 201C end to end on a large generated stock, on the real office: 15,000 products (a
// third of them kept by batch, two batches each: 20,000 listable products and batches) and
// 200,000 movements from January to May 2015, some with a challan link, for the period April
// 2015. Each run is a fresh process (tables read from their files, a new office), split into
// the stock query (cold: tables loaded), office start with the template, rows and save. Beside
// it, as the reference, the office's own command-line conversion of the same rows from a CSV
// file into an .xls file (its own start included). Prints every run and the medians.
//
//   form201c_bench [--stock DIR] [--runs R]
//
// DIR (default build/bench-stock) holds the generated company; it is written there first when
// the folder does not exist (an existing folder is only read). Output goes to a temp folder that is
// removed afterwards.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "bench/in_child.h"
#include "bench/median.h"
#include "bench/office_conversion.h"
#include "bench/table_loading.h"
#include "bench/timed_spreadsheet.h"
#include "hostdata/huge_page_heap.h"
#include "hostdata/value.h"
#include "returns/build_fixture.h"
#include "returns/form201c.h"
#include "returns/special_characters.h"
#include "tools/dbf_writer.h"
#include "workbook/csv_text.h"

namespace {

namespace fs = std::filesystem;
namespace dbf = vatrix::dbf;
using vatrix::bench::Clock;

constexpr int kProducts = 15000;
constexpr int kMovements = 200000;

// A fixed pseudo-random sequence, so that every generated stock is the same.
class Sequence {
 public:
  int Below(int bound) {
    state_ = state_ * 6364136223846793005ULL + 1442695040888963407ULL;
    return static_cast<int>((state_ >> 33) % static_cast<std::uint64_t>(bound));
  }

 private:
  std::uint64_t state_ = 2015;
};

void WriteStock(const fs::path& folder) {
  fs::create_directories(folder);
  dbf::Writer product(folder, "PRODUCT.DBF",
                      {{"CODE", 'C', 6, 0},
                       {"NAME", 'C', 40, 0},
                       {"UNIT1", 'C', 6, 0},
                       {"OP_QTY", 'N', 12, 3},
                       {"CLRATE", 'N', 12, 2},
                       {"BATCH", 'L', 1, 0}},
                      dbf::CodePage::kWindowsAnsi);
  dbf::Writer batch(folder, "BATCH.DBF",
                    {{"CODE", 'C', 6, 0},
                     {"BATCHNO", 'C', 10, 0},
                     {"OP_QTY", 'N', 12, 3},
                     {"CLRATE", 'N', 12, 2}},
                    dbf::CodePage::kWindowsAnsi);
  Sequence next;
  // Entries that movements go to: (code, batch number).
  std::vector<std::pair<std::string, std::string>> entries;
  for (int i = 0; i < kProducts; ++i) {
    const std::string code = std::to_string(400000 + i);
    const bool by_batch = i % 3 == 0;
    const std::string name = "Item " + std::to_string(next.Below(90000) + 10000) +
                             (i % 7 == 0 ? " A&B/C" : "") + " " + std::to_string(i);
    product.Add({dbf::Text(code), dbf::Text(name), dbf::Text("NOS"),
                 dbf::Number(i % 11 == 0 ? 0 : next.Below(500)),
                 dbf::Number(next.Below(100000) / 100.0), dbf::Logical(by_batch)});
    if (!by_batch) entries.push_back({code, ""});
    for (int b = 0; by_batch && b < 2; ++b) {
      const std::string number = "B" + std::to_string(i) + "-" + std::to_string(b);
      batch.Add({dbf::Text(code), dbf::Text(number), dbf::Number(next.Below(200)),
                 dbf::Number(next.Below(50000) / 100.0)});
      entries.push_back({code, number});
    }
  }
  product.Finish();
  batch.Finish();
  dbf::Writer stock(folder, "STOCK.DBF",
                    {{"CODE", 'C', 6, 0},
                     {"BATCHNO", 'C', 10, 0},
                     {"DATE", 'D', 8, 0},
                     {"QTY", 'N', 12, 3},
                     {"AL", 'C', 1, 0},
                     {"CHLNLINK", 'C', 10, 0}},
                    dbf::CodePage::kWindowsAnsi);
  for (int i = 0; i < kMovements; ++i) {
    const auto& [code, number] = entries[next.Below(static_cast<int>(entries.size()))];
    const dbf::Day day{2015, 1 + next.Below(5), 1 + next.Below(28)};
    stock.Add({dbf::Text(code), dbf::Text(number), dbf::Date(day),
               dbf::Number(1 + next.Below(5000) / 100.0), dbf::Text(next.Below(5) < 3 ? "A" : "L"),
               next.Below(20) == 0 ? dbf::Text("C" + std::to_string(i)) : dbf::Text("")});
  }
  stock.Finish();
}

std::string CsvOf(const vatrix::bench::WrittenCells& cells) {
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

struct Measured {
  vatrix::bench::Split split;
  int rows = 0;
};

// One builder run in a fresh process; the first also leaves its rows as `csv`.
Measured RunOnce(const fs::path& stock, const fs::path& out, const fs::path* csv) {
  return vatrix::bench::InChild([&] {
    vatrix::testing::BuildFixture run;
    run.session.ReturnCode = "201C";
    run.session.SpecialChars = vatrix::SpecialCharsTable();
    run.panel.output_folder = out.string() + "/";
    run.panel.file_name = "Stock - 201C";
    vatrix::bench::WrittenCells cells;
    const auto start = Clock::now();
    const std::clock_t start_cpu = std::clock();
    vatrix::Office office;
    run.spreadsheets = [&] {
      return std::make_unique<vatrix::bench::TimedSpreadsheet>(office, &cells);
    };
    run.lists.connection.OpenFolder(stock.string());
    vatrix::BuildContext context = run.Context();
    vatrix::Form201C(context);
    const auto end = Clock::now();
    if (run.ui.messages.size() != 1 ||
        run.ui.messages[0].icon != vatrix::MessageIcon::kInformation) {
      std::fprintf(stderr, "bench: %s", run.ui.Transcript().c_str());
      std::exit(1);
    }
    if (csv) std::ofstream(*csv, std::ios::binary) << CsvOf(cells);
    return Measured{vatrix::bench::SplitOf(start, start_cpu, end), static_cast<int>(cells.size())};
  });
}

}  // namespace

int main(int argc, char** argv) {
  vatrix::RestartWithHugePageHeap(argv);
  fs::path stock = "build/bench-stock";
  int runs = 5;
  for (int i = 1; i + 1 < argc; i += 2) {
    if (!std::strcmp(argv[i], "--stock"))
      stock = argv[i + 1];
    else if (!std::strcmp(argv[i], "--runs"))
      runs = std::max(1, std::atoi(argv[i + 1]));
  }
  if (!fs::exists(stock)) {
    std::fprintf(stderr, "bench: generating the large stock in %s\n", stock.c_str());
    WriteStock(stock);
  } else if (!fs::exists(stock / "STOCK.DBF")) {
    std::fprintf(stderr, "bench: %s holds no stock table; give a new folder to generate into\n",
                 stock.c_str());
    return 1;
  }
  char pattern[] = "/tmp/form201c-bench-XXXXXX";
  if (!mkdtemp(pattern)) return 1;
  const fs::path dir = pattern;
  const fs::path csv = dir / "rows.csv";

  std::vector<double> loading, query, query_cpu, office, rows, save, total, reference;
  int written = 0;
  for (int i = 0; i < runs; ++i) {
    const fs::path out = dir / ("run" + std::to_string(i));
    fs::create_directory(out);
    const Measured m = RunOnce(stock, out, i == 0 ? &csv : nullptr);
    const vatrix::bench::Split& s = m.split;
    reference.push_back(vatrix::bench::OfficeConvertToXls(csv, dir));
    loading.push_back(vatrix::bench::TableLoadSeconds(stock, {"PRODUCT", "BATCH", "STOCK"}));
    written = m.rows;
    query.push_back(s.before_workbook);
    query_cpu.push_back(s.before_workbook_cpu);
    office.push_back(s.office);
    rows.push_back(s.cells);
    save.push_back(s.save);
    total.push_back(s.total);
    std::printf(
        "run %d: %.2f s (stock query %.2f [processor %.2f], office start and template %.2f, rows "
        "%.2f, save "
        "%.2f), tables loaded alone %.2f s, office CSV conversion of the same rows %.2f s\n",
        i + 1, s.total, s.before_workbook, s.before_workbook_cpu, s.office, s.cells, s.save,
        loading.back(), reference.back());
  }
  fs::remove_all(dir);
  using vatrix::bench::Median;
  std::printf(
      "Form 201C, %d products (a third by batch, two batches each), %d movements, April "
      "2015, %d rows written; medians over %d runs, each in a fresh process:\n",
      kProducts, kMovements, written, runs);
  std::printf(
      "  stock query (cold) %.2f s (target: at most 2 s), office start and template %.2f "
      "s, rows %.2f s, save %.2f s, total %.2f s (target: at most 6 s)\n",
      Median(query), Median(office), Median(rows), Median(save), Median(total));
  std::printf(
      "  of the stock query: loading the three tables alone %.2f s; the process's "
      "processor time %.2f s, which other load does not stretch\n",
      Median(loading), Median(query_cpu));
  std::printf(
      "  reference, the office's CSV to .xls conversion of the same rows: %.2f s; "
      "ratio %.2f\n",
      Median(reference), Median(total) / Median(reference));
  return 0;
}
