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
  // Set already, to whatever value, by the program's own restart or by the user.
  EXPECT_EQ(TunablesWithHugePageHeap("glibc.malloc.hugetlb=1"), std::nullopt);
  EXPECT_EQ(TunablesWithHugePageHeap("glibc.malloc.tcache_count=0:glibc.malloc.hugetlb=0"),
            std::nullopt);
}

// Run by the test below in the program executed again: calls the restart once more, which must
// return, and records the process's tunables.
TEST(HugePageHeapTest, DISABLED_Probe) {
  const char* output = std::getenv(kProbeOutput);
  if (!output) GTEST_SKIP() << "only run by RestartsOnceWithItsArguments";
  char* again[] = {const_cast<char*>("again"), nullptr};
  RestartWithHugePageHeap(again);
  std::ofstream(output, std::ios::app) << std::getenv("GLIBC_TUNABLES") << "\n";
}

TEST(HugePageHeapTest, RestartsOnceWithItsArguments) {
  const std::string folder = testing::MakeTempFolder();
  const std::string output = folder + "/probe";
  const pid_t child = fork();
  ASSERT_NE(child, -1);
  if (child == 0) {
    setenv(kProbeOutput, output.c_str(), 1);
    setenv("GLIBC_TUNABLES", "glibc.malloc.tcache_count=7", 1);
    char* argv[] = {const_cast<char*>("probe"),
                    const_cast<char*>("--gtest_filter=HugePageHeapTest.DISABLED_Probe"),
                    const_cast<char*>("--gtest_also_run_disabled_tests"), nullptr};
    RestartWithHugePageHeap(argv);
    _exit(99);  // not executed again
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
  std::ifstream in(output);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}),
            "glibc.malloc.tcache_count=7:glibc.malloc.hugetlb=1\n");
  std::filesystem::remove_all(folder);
}

}  // namespace
}  // namespace vatrix
