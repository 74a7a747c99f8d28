// The one way the benchmarks summarize repeated runs.
#ifndef VATRIX_BENCH_MEDIAN_H_
#define VATRIX_BENCH_MEDIAN_H_

#include <vector>

namespace vatrix::bench {

// The median of `values`: the middle one, or the mean of the two middle ones for an even count;
// 0 for none.
double Median(std::vector<double> values);

}  // namespace vatrix::bench

#endif  // VATRIX_BENCH_MEDIAN_H_
