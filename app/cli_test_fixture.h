// The fixture of the command line's tests: vatrix-cli run as a process on the sample
// installation, its output caught. Test-only.
#ifndef VATRIX_APP_CLI_TEST_FIXTURE_H_
#define VATRIX_APP_CLI_TEST_FIXTURE_H_

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "hostdata/test_tables.h"

namespace vatrix {

struct Outcome {
  int status;
  std::string out;
  std::string err;
};

inline std::string ReadAll(const std::string& path) {
  std::ifstream in(path);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// The entries of `folder` and the processes whose command line names it.
inline std::string TracesOf(const std::string& folder) {
  std::string traces;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    traces += entry.path().filename().string() + " ";
  }
  for (const auto& process : std::filesystem::directory_iterator("/proc")) {
    std::string command = ReadAll(process.path().string() + "/cmdline");
    if (command.find(folder) != std::string::npos) traces += "process " + command + " ";
  }
  return traces;
}

class VatrixCliTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* sample = std::getenv("VATRIX_SAMPLE");
    ASSERT_TRUE(sample) << "run through ctest, which names the sample installation";
    sample_ = sample;
    out_ = testing::MakeTempFolder();
  }
  void TearDown() override { std::filesystem::remove_all(out_); }

  // Runs vatrix-cli with `arguments` (already quoted for the shell) and `environment`
  // ("NAME=value ...").
  Outcome Cli(const std::string& arguments, const std::string& environment = "") {
    const std::string command = "env " + environment + " " + VATRIX_CLI + " " + arguments + " > " +
                                out_ + "/stdout 2> " + out_ + "/stderr < /dev/null";
    const int status = std::system(command.c_str());
    return {WEXITSTATUS(status), ReadAll(out_ + "/stdout"), ReadAll(out_ + "/stderr")};
  }
  std::string Export(const std::string& more) {
    return "export --host " + sample_ + " --company 7 --out " + out_ + " " + more;
  }

  std::string sample_;
  std::string out_;
};

}  // namespace vatrix

#endif  // VATRIX_APP_CLI_TEST_FIXTURE_H_
