#include "hostdata/huge_page_heap.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "hostdata/test_tables.h"

namespace vatrix {
namespace {

constexpr char kProbeOutput[] = "VATRIX_HEAP_PROBE_OUTPUT";

TEST(HugePageHeapTest, AddsTheTunableOnceAndKeepsTheOthers) {
  EXPECT_EQ(TunablesWithHugePageHeap(nullptr), "glibc.malloc.hugetlb=1");
  EXPECT_EQ(TunablesWithHugePageHeap(""), "glibc.malloc.hugetlb=1");
  EXPECT_EQ(TunablesWithHugePageHeap("glibc.malloc.tcache_count=0"),
            "glibc.malloc.tcache_count=0:glibc.malloc.hugetlb=1");
  // A tunable whose name only begins or ends like it is another one.
  EXPECT_EQ(TunablesWithHugePageHeap("glibc.malloc.hugetlbx=0:xglibc.malloc.hugetlb=0"),
            "glibc.malloc.hugetlbx=0:xglibc.malloc.hugetlb=0:glibc.malloc.hugetlb=1");
  // Set already, to whatever value, by the user.
  EXPECT_EQ(TunablesWithHugePageHeap("glibc.malloc.hugetlb=1"), std::nullopt);
  EXPECT_EQ(TunablesWithHugePageHeap("glibc.malloc.tcache_count=0:glibc.malloc.hugetlb=0"),
            std::nullopt);
}

// The value of `name` now; "-" when unset.
std::string Now(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "-";
}

// Run by the test below in the program executed again: calls the restart once more, which must
// return, and records the process's name, the tunables it started with, those it passes on to
// the programs it starts, and whatever else the restart left in the environment.
TEST(HugePageHeapTest, DISABLED_Probe) {
  const char* output = std::getenv(kProbeOutput);
  if (!output) GTEST_SKIP() << "only run by RestartsOnceAndPassesOnTheEnvironmentItHad";
  const std::string at_start = Now("GLIBC_TUNABLES");
  char* again[] = {const_cast<char*>("again"), nullptr};
  RestartWithHugePageHeap(again);
  std::ifstream comm("/proc/self/comm");
  std::string name;
  std::getline(comm, name);
  std::ofstream(output, std::ios::app)
      << name << " | " << at_start << " | " << Now("GLIBC_TUNABLES") << " | "
      << Now("VATRIX_GLIBC_TUNABLES_BEFORE") << "\n";
}

// What the probe records when this test program restarts itself with GLIBC_TUNABLES set to
// `tunables` (null: unset).
std::string Probe(const char* tunables) {
  const std::string folder = testing::MakeTempFolder();
  const std::string output = folder + "/probe";
  const pid_t child = fork();
  if (child == 0) {
    setenv(kProbeOutput, output.c_str(), 1);
    tunables ? setenv("GLIBC_TUNABLES", tunables, 1) : unsetenv("GLIBC_TUNABLES");
    char* argv[] = {const_cast<char*>("probe"),
                    const_cast<char*>("--gtest_filter=HugePageHeapTest.DISABLED_Probe"),
                    const_cast<char*>("--gtest_also_run_disabled_tests"), nullptr};
    RestartWithHugePageHeap(argv);
    _exit(99);  // not executed again
  }
  int status = 0;
  if (child == -1 || waitpid(child, &status, 0) != child) return "no child";
  std::ifstream in(output);
  std::string recorded(std::istreambuf_iterator<char>(in), {});
  std::filesystem::remove_all(folder);
  return "status " + std::to_string(status) + ": " + recorded;
}

TEST(HugePageHeapTest, RestartsOnceAndPassesOnTheEnvironmentItHad) {
  EXPECT_EQ(Probe("glibc.malloc.tcache_count=7"),
            "status 0: hostdata_test | glibc.malloc.tcache_count=7:glibc.malloc.hugetlb=1 | "
            "glibc.malloc.tcache_count=7 | -\n");
  EXPECT_EQ(Probe(nullptr), "status 0: hostdata_test | glibc.malloc.hugetlb=1 | - | -\n");
}

}  // namespace
}  // namespace vatrix
