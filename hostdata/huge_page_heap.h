// The heap of this process in transparent huge pages. Loading a company's tables fills tens of
// megabytes of fresh heap; where each page fault is costly (in virtual machines above all),
// faulting that in 4 KiB pages takes as long as the loading's own work. glibc backs its heap with
// huge pages when its tunable glibc.malloc.hugetlb is 1, and reads its tunables only as a
// process starts.
#ifndef VATRIX_HOSTDATA_HUGE_PAGE_HEAP_H_
#define VATRIX_HOSTDATA_HUGE_PAGE_HEAP_H_

#include <optional>
#include <string>

namespace vatrix {

// The value GLIBC_TUNABLES needs for a huge-page heap, given its value `current` (null when
// unset): the tunables kept, that one added. Nothing when `current` already sets that tunable,
// to whatever value.
std::optional<std::string> TunablesWithHugePageHeap(const char* current);

// Executes this program again with `argv` and GLIBC_TUNABLES as TunablesWithHugePageHeap gives
// it, unless there is nothing to change. In the program so executed, puts GLIBC_TUNABLES back as
// it was and returns: the programs it starts (the office) see the environment it was started
// with. Also returns when the program cannot be executed again (it then carries on with ordinary
// pages). The programs and benchmarks call it first thing in main, before any thread starts.
void RestartWithHugePageHeap(char** argv);

}  // namespace vatrix

#endif  // VATRIX_HOSTDATA_HUGE_PAGE_HEAP_H_
