// The share of a cold run that goes to reading the company's table files.
#ifndef VATRIX_BENCH_TABLE_LOADING_H_
#define VATRIX_BENCH_TABLE_LOADING_H_

#include <chrono>
#include <string>
#include <vector>

#include "bench/in_child.h"
#include "hostdata/connection.h"

namespace vatrix::bench {

// Seconds a fresh process takes to load `tables` of the company folder `folder` (a count of
// each, so that nothing but the loading is timed).
inline double TableLoadSeconds(const std::string& folder, const std::vector<std::string>& tables) {
  return InChild([&] {
    const auto start = std::chrono::steady_clock::now();
    Connection connection;
    connection.OpenFolder(folder);
    for (const std::string& table : tables) connection.Execute("SELECT Count(*) FROM " + table);
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  });
}

}  // namespace vatrix::bench

#endif  // VATRIX_BENCH_TABLE_LOADING_H_
