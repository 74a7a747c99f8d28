// A practitioner's month: 20 returns (the 5 companies of the large sample, each Form 201 for
// April, the Form 201A and 201B lists and the CST sales list for the first quarter, in their
// default file types) as one "vatrix-cli batch" against the same 20 returns as separate
// "vatrix-cli export" runs, alternating, in the same run. Prints every run, both medians and
// their ratio.
//
//   batch_bench [--sample DIR] [--runs R]
//
// DIR (default build/bench-sample) holds an installation with the large company 1234; it is
// generated there first when missing (only into a folder created for it). Output goes to a temp
// folder that is removed afterwards.
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

#include "bench/bench_sample.h"
#include "bench/median.h"

namespace {

namespace fs = std::filesystem;

struct Return {
  const char* form;
  const char* type;
};
constexpr Return kReturns[] = {
    {"201", "Monthly"}, {"201A", "Quaterly"}, {"201B", "Quaterly"}, {"3BSALES", "Quaterly"}};
constexpr const char* kPeriod[] = {"4", "1", "1", "1"};

// Seconds the shell command took; ends the program when it fails to start.
double Timed(const std::string& command) {
  const auto start = std::chrono::steady_clock::now();
  if (std::system(command.c_str()) == -1) std::exit(1);
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Runs the 20 returns as one batch into `out`.
double Batch(const std::string& sample, const fs::path& out) {
  fs::create_directories(out);
  std::ofstream jobs(out / "jobs.csv");
  jobs << "company,form,type,period\n";
  for (size_t i = 0; i < std::size(kReturns); ++i) {
    jobs << "all," << kReturns[i].form << "," << kReturns[i].type << "," << kPeriod[i] << "\n";
  }
  jobs.close();
  return Timed(std::string(VATRIX_CLI) + " batch '" + (out / "jobs.csv").string() + "' --host '" +
               sample + "' --out '" + out.string() + "' --summary '" +
               (out / "summary.csv").string() + "' >/dev/null 2>&1");
}

// Runs the same returns as separate exports into `out`, one folder per company.
double Separate(const std::string& sample, const std::vector<std::string>& companies,
                const fs::path& out) {
  double seconds = 0;
  for (const std::string& company : companies) {
    const fs::path folder = out / company;
    fs::create_directories(folder);
    for (size_t i = 0; i < std::size(kReturns); ++i) {
      seconds +=
          Timed(std::string(VATRIX_CLI) + " export --host '" + sample + "' --company " + company +
                " --form " + kReturns[i].form + " --type " + kReturns[i].type + " --period " +
                kPeriod[i] + " --out '" + folder.string() + "' >/dev/null 2>&1");
    }
  }
  return seconds;
}

// The number of output files under `out` (the batch's job list and summary left out).
int Outputs(const fs::path& out) {
  int count = 0;
  for (const auto& entry : fs::recursive_directory_iterator(out)) {
    const std::string name = entry.path().filename().string();
    count += entry.is_regular_file() && name != "jobs.csv" && name != "summary.csv";
  }
  return count;
}

}  // namespace

int main(int argc, char** argv) {
  std::string sample = "build/bench-sample";
  int runs = 3;
  for (int i = 1; i + 1 < argc; i += 2) {
    if (!std::strcmp(argv[i], "--sample")) sample = argv[i + 1];
    if (!std::strcmp(argv[i], "--runs")) runs = std::max(1, std::atoi(argv[i + 1]));
  }
  vatrix::SampleOptions options;
  options.large_bills = 100000;
  if (!vatrix::bench::PrepareSample(sample, "1234", options)) return 1;
  const std::vector<std::string> companies = {"1", "7", "8", "12", "1234"};
  const fs::path temp = fs::temp_directory_path() / ("batch_bench-" + std::to_string(getpid()));
  std::vector<double> batch, separate;
  for (int run = 1; run <= runs; ++run) {
    const fs::path out = temp / std::to_string(run);
    batch.push_back(Batch(sample, out / "batch"));
    separate.push_back(Separate(sample, companies, out / "separate"));
    std::printf("run %d: batch %.2f s (%d files), 20 exports %.2f s (%d files)\n", run,
                batch.back(), Outputs(out / "batch"), separate.back(), Outputs(out / "separate"));
    std::fflush(stdout);
    fs::remove_all(out);
  }
  fs::remove_all(temp);
  const double batch_median = vatrix::bench::Median(batch);
  const double separate_median = vatrix::bench::Median(separate);
  std::printf("median: batch %.2f s, 20 separate exports %.2f s, ratio %.3f (target <= 0.35)\n",
              batch_median, separate_median, batch_median / separate_median);
  return 0;
}
