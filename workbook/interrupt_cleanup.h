// What a run makes that must not outlive it: the office's process group, its private folder
// and pipe sockets, a half-written output file. Each is noted while it exists; an interrupted
// run removes them before it exits, and the next run sweeps what a killed one left.
#ifndef VATRIX_WORKBOOK_INTERRUPT_CLEANUP_H_
#define VATRIX_WORKBOOK_INTERRUPT_CLEANUP_H_

#include <sys/types.h>

#include <string>
#include <string_view>

namespace vatrix {

// Notes a file or folder to remove (whole) on an interruption, or forgets it again.
void NoteLeftover(const std::string& path);
void ForgetLeftover(const std::string& path);

// fork(), with the child noted in the parent, before an interruption can act, as a process
// group to end (the child must make itself a group leader). Returns as fork() does.
pid_t ForkNotedProcessGroup();
// Forgets a process group noted so, once it has ended.
void ForgetProcessGroup(pid_t group);

// Blocks SIGINT and SIGTERM in the calling thread and in every thread it starts afterwards
// (call it first in main), and answers either signal on a thread of its own: ends the noted
// process groups (waiting for their leaders to end), removes the noted leftovers and exits with
// 128 + the signal (130, 143).
void CleanUpOnInterrupt();

// Unblocks every signal in the calling process (a child about to run another program).
void UnblockSignals();

// The process-id part of a leftover's name: "<prefix><pid>-..." names leftovers of process
// <pid>.
std::string LeftoverPrefix(std::string_view prefix);

// Removes the entries of `folder` named "<prefix><pid>-...", owned by this user, whose process
// <pid> no longer runs: what a killed run of this program left there.
void SweepLeftovers(const std::string& folder, std::string_view prefix);

}  // namespace vatrix

#endif  // VATRIX_WORKBOOK_INTERRUPT_CLEANUP_H_
