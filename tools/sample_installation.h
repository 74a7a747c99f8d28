// Writes a deterministic sample installation of the accounting package: the company
// catalogue Company.dbf and one dBase IV data folder per company and financial year. Used at
// build time for the tests and the demo, and with a large company for the benchmarks.
#ifndef VATRIX_TOOLS_SAMPLE_INSTALLATION_H_
#define VATRIX_TOOLS_SAMPLE_INSTALLATION_H_

#include <functional>
#include <string>

namespace vatrix {

struct SampleOptions {
  // Bills of the large company 1234 (folder "1234"); 0: no large company.
  int large_bills = 0;
  // When set, called with a short line of progress (which company, how far) during the run.
  std::function<void(const std::string&)> progress;
};

// Writes the installation into `folder`, creating it when missing; existing files of the same
// names are overwritten. The bytes written depend only on `options`, never on the clock.
// Throws std::runtime_error naming the path on failure.
void WriteSampleInstallation(const std::string& folder, const SampleOptions& options);

// Whether `folder` holds the marker of an installation written by make_sample or a
// benchmark; only such a folder is ever written into again.
bool IsGeneratedSample(const std::string& folder);
// Puts that marker into `folder`. Throws std::runtime_error naming it on failure.
void MarkGeneratedSample(const std::string& folder);

}  // namespace vatrix

#endif  // VATRIX_TOOLS_SAMPLE_INSTALLATION_H_
