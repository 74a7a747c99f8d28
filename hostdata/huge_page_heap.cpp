#include "hostdata/huge_page_heap.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace vatrix {

namespace {

constexpr char kVariable[] = "GLIBC_TUNABLES";
constexpr char kTunable[] = "glibc.malloc.hugetlb";
// Set only in the program executed again: GLIBC_TUNABLES as it was before ("" for unset).
constexpr char kBefore[] = "VATRIX_GLIBC_TUNABLES_BEFORE";

// Sets `name` to `value`, or unsets it when `value` is empty.
void SetOrUnset(const char* name, const std::string& value) {
  if (value.empty()) {
    unsetenv(name);
  } else {
    setenv(name, value.c_str(), 1);
  }
}

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
  if (const char* before = std::getenv(kBefore)) {  // executed again: glibc has read them
    SetOrUnset(kVariable, before);
    unsetenv(kBefore);
    return;
  }
  const char* current = std::getenv(kVariable);
  const std::optional<std::string> wanted = TunablesWithHugePageHeap(current);
  if (!wanted) return;
  const std::string before = current ? current : "";
  if (setenv(kBefore, before.c_str(), 1) != 0) return;
  // By its own path, not /proc/self/exe, which would also become the process's name.
  std::error_code error;
  const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
  if (!error && setenv(kVariable, wanted->c_str(), 1) == 0) execv(program.c_str(), argv);
  // Still here: the program could not be executed again.
  SetOrUnset(kVariable, before);
  unsetenv(kBefore);
}

}  // namespace vatrix
