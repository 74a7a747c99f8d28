#include "bench/bench_sample.h"

#include <cstdio>
#include <exception>
#include <filesystem>

namespace vatrix::bench {

namespace fs = std::filesystem;

bool PrepareSample(const std::string& folder, const std::string& company,
                   const SampleOptions& options) {
  std::error_code error;
  if (fs::is_directory(fs::path(folder) / company, error)) return true;
  try {
    if (fs::create_directory(folder)) {
      MarkGeneratedSample(folder);
    } else if (!IsGeneratedSample(folder)) {
      std::fprintf(stderr,
                   "bench: %s holds no company %s and is not a generated sample; refusing to "
                   "write into it (give an empty folder's new name, or a make_sample folder)\n",
                   folder.c_str(), company.c_str());
      return false;
    }
    std::fprintf(stderr, "bench: generating the sample in %s\n", folder.c_str());
    WriteSampleInstallation(folder, options);
    return true;
  } catch (const std::exception& failure) {
    std::fprintf(stderr, "bench: cannot generate the sample in %s: %s\n", folder.c_str(),
                 failure.what());
    return false;
  }
}

}  // namespace vatrix::bench
