// The installation a benchmark reads: never a folder of real data written into.
#ifndef VATRIX_BENCH_BENCH_SAMPLE_H_
#define VATRIX_BENCH_BENCH_SAMPLE_H_

#include <string>

#include "tools/sample_installation.h"

namespace vatrix::bench {

// Makes `folder` an installation holding company `company`. A folder that holds it is used as
// it is (read only). Otherwise the sample is generated with `options`, but only into a folder
// created here (its parent must exist) or one marked as a generated sample. Returns false
// after a message on stderr saying why it refused or failed; never throws.
bool PrepareSample(const std::string& folder, const std::string& company,
                   const SampleOptions& options);

}  // namespace vatrix::bench

#endif  // VATRIX_BENCH_BENCH_SAMPLE_H_
