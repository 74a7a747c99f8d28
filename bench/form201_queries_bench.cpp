// Opens a company and runs Form 201's thirty aggregate queries for one month: cold (a fresh
// process, tables read from their files) and warm (tables already loaded), with the peak
// memory of the process. Prints medians over several runs for the large sample company and
// the small one.
//
//   form201_queries_bench [--sample DIR] [--bills N] [--runs R]
//
// DIR (default build/bench-sample) holds an installation with the large company 1234; it is
// generated there first when missing.
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "bench/bench_sample.h"
#include "bench/in_child.h"
#include "bench/median.h"
#include "hostdata/connection.h"
#include "hostdata/huge_page_heap.h"
#include "hostdata/query_helpers.h"
#include "hostdata/user_interface.h"
#include "returns/form201_queries.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr char kApril2015[] = " Between #4/1/2015# and #4/30/2015# ";
constexpr int kWarmRepeats = 5;

class SilentUi : public vatrix::UserInterface {
 public:
  vatrix::MessageAnswer ShowMessage(const vatrix::Message& message) override {
    std::fprintf(stderr, "%s: %s\n", message.title.c_str(), message.text.c_str());
    return vatrix::MessageAnswer::kOk;
  }
  void EndProgram() override {}
};

double Seconds(Clock::time_point since) {
  return std::chrono::duration<double>(Clock::now() - since).count();
}

// Opens the company and runs the thirty queries once; returns the seconds taken.
double RunQueries(const std::string& host, const std::string& company, double* checksum) {
  SilentUi ui;
  const auto start = Clock::now();
  vatrix::Connection connection;
  connection.OpenFolder(vatrix::CompanyFolder(host, company));
  const std::vector<std::string> queries = vatrix::Form201AggregateQueries(kApril2015);
  connection.Preload(queries);  // as the builder does
  for (const auto& query : queries) *checksum += vatrix::getAmount(connection, query, ui);
  return Seconds(start);
}

struct Sample {
  double cold = 0;
  double warm = 0;  // median of the warm repeats
  double peak_mib = 0;
  double checksum = 0;
};

// One cold run and its warm repeats, in a child process so the cold run starts from nothing.
Sample MeasureInChild(const std::string& host, const std::string& company) {
  return vatrix::bench::InChild([&] {
    Sample sample;
    sample.cold = RunQueries(host, company, &sample.checksum);
    std::vector<double> warm;
    for (int i = 0; i < kWarmRepeats; ++i)
      warm.push_back(RunQueries(host, company, &sample.checksum));
    std::sort(warm.begin(), warm.end());
    sample.warm = warm[warm.size() / 2];
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    sample.peak_mib = usage.ru_maxrss / 1024.0;
    return sample;
  });
}

void Report(const char* label, const std::string& host, const std::string& company, int runs) {
  std::vector<double> cold, warm, peak;
  double checksum = 0;
  for (int i = 0; i < runs; ++i) {
    const Sample sample = MeasureInChild(host, company);
    cold.push_back(sample.cold);
    warm.push_back(sample.warm);
    peak.push_back(sample.peak_mib);
    checksum = sample.checksum;
  }
  std::printf(
      "%-28s cold %7.3f s   warm %7.3f s   peak %7.1f MiB   (median of %d; checksum %.2f)\n", label,
      vatrix::bench::Median(cold), vatrix::bench::Median(warm), vatrix::bench::Median(peak), runs,
      checksum);
}

}  // namespace

int main(int argc, char** argv) {
  vatrix::RestartWithHugePageHeap(argv);
  std::string sample = "build/bench-sample";
  int bills = 100000;
  int runs = 5;
  for (int i = 1; i + 1 < argc; i += 2) {
    if (!std::strcmp(argv[i], "--sample"))
      sample = argv[i + 1];
    else if (!std::strcmp(argv[i], "--bills"))
      bills = std::atoi(argv[i + 1]);
    else if (!std::strcmp(argv[i], "--runs"))
      runs = std::atoi(argv[i + 1]);
  }
  vatrix::SampleOptions options;
  options.large_bills = bills;
  if (!vatrix::bench::PrepareSample(sample, "1234", options)) return 1;
  std::printf("Form 201, thirty aggregate queries for April 2015, on this machine:\n");
  Report("large company (1234)", sample, "1234", runs);
  Report("small company (007)", sample, "007", runs);
  return 0;
}
