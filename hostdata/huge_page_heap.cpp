#include "hostdata/huge_page_heap.h"

#include <unistd.h>

#include <cstdlib>

namespace vatrix {

namespace {

constexpr char kVariable[] = "GLIBC_TUNABLES";
constexpr char kTunable[] = "glibc.malloc.hugetlb";

}  // namespace

std::optional<std::string> TunablesWithHugePageHeap(const char* current) {
  const std::string tunables = current ? current : "";
  const std::string setting = std::string(kTunable) + "=";
  // Tunables are name=value pairs separated by colons.
  for (size_t start = 0;;) {
    if (tunables.compare(start, setting.size(), setting) == 0) return std::nullopt;
    const size_t colon = tunables.find(':', start);
    if (colon == std::string::npos) break;
    start = colon + 1;
  }
  return (tunables.empty() ? "" : tunables + ":") + setting + "1";
}

void RestartWithHugePageHeap(char** argv) {
  const char* current = std::getenv(kVariable);
  const std::optional<std::string> wanted = TunablesWithHugePageHeap(current);
  if (!wanted) return;
  const std::optional<std::string> before =
      current ? std::optional<std::string>(current) : std::nullopt;
  if (setenv(kVariable, wanted->c_str(), 1) != 0) return;
  execv("/proc/self/exe", argv);
  // Still here: the program could not be executed again.
  if (before) {
    setenv(kVariable, before->c_str(), 1);
  } else {
    unsetenv(kVariable);
  }
}

}  // namespace vatrix
