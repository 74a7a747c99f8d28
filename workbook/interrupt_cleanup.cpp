#include "workbook/interrupt_cleanup.h"

#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <mutex>
#include <set>
#include <thread>

namespace vatrix {

namespace {

struct Noted {
  std::mutex mutex;
  std::set<std::string> paths;
  std::set<pid_t> groups;
};

Noted& TheNoted() {
  static Noted* noted = new Noted;  // never destroyed: the signal thread may use it at exit
  return *noted;
}

sigset_t InterruptSignals() {
  sigset_t signals;
  sigemptyset(&signals);
  sigaddset(&signals, SIGINT);
  sigaddset(&signals, SIGTERM);
  return signals;
}

[[noreturn]] void CleanUpAndExit(int signal) {
  Noted& noted = TheNoted();
  std::lock_guard lock(noted.mutex);  // held to the end: nothing new gets noted
  for (pid_t group : noted.groups) kill(-group, SIGKILL);
  // Once the leaders have ended nothing of theirs writes into the folders removed below.
  for (pid_t group : noted.groups) waitpid(group, nullptr, 0);
  std::error_code ignored;
  for (const std::string& path : noted.paths) std::filesystem::remove_all(path, ignored);
  _exit(128 + signal);
}

// The pid of entry `name` that begins with `prefix` followed by digits and '-', or -1.
pid_t OwnerOf(std::string_view name, std::string_view prefix) {
  if (name.substr(0, prefix.size()) != prefix) return -1;
  name.remove_prefix(prefix.size());
  const size_t dash = name.find('-');
  if (dash == 0 || dash == std::string_view::npos || dash > 9) return -1;
  pid_t pid = 0;
  for (char c : name.substr(0, dash)) {
    if (c < '0' || c > '9') return -1;
    pid = pid * 10 + (c - '0');
  }
  return pid;
}

}  // namespace

void NoteLeftover(const std::string& path) {
  std::lock_guard lock(TheNoted().mutex);
  TheNoted().paths.insert(path);
}

void ForgetLeftover(const std::string& path) {
  std::lock_guard lock(TheNoted().mutex);
  TheNoted().paths.erase(path);
}

pid_t ForkNotedProcessGroup() {
  std::lock_guard lock(TheNoted().mutex);
  const pid_t pid = fork();
  if (pid > 0) TheNoted().groups.insert(pid);
  return pid;
}

void ForgetProcessGroup(pid_t group) {
  std::lock_guard lock(TheNoted().mutex);
  TheNoted().groups.erase(group);
}

void CleanUpOnInterrupt() {
  const sigset_t signals = InterruptSignals();
  pthread_sigmask(SIG_BLOCK, &signals, nullptr);
  std::thread([signals] {
    int signal = 0;
    while (sigwait(&signals, &signal) != 0) {
    }
    CleanUpAndExit(signal);
  }).detach();
}

void UnblockSignals() {
  sigset_t none;
  sigemptyset(&none);
  sigprocmask(SIG_SETMASK, &none, nullptr);
}

std::string LeftoverPrefix(std::string_view prefix) {
  return std::string(prefix) + std::to_string(getpid()) + "-";
}

void SweepLeftovers(const std::string& folder, std::string_view prefix) {
  std::error_code error;
  for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end;
       it.increment(error)) {
    const pid_t owner = OwnerOf(it->path().filename().string(), prefix);
    struct stat status {};
    if (owner <= 0 || owner == getpid() || lstat(it->path().c_str(), &status) != 0 ||
        status.st_uid != getuid() || kill(owner, 0) == 0 || errno != ESRCH) {
      continue;
    }
    std::error_code ignored;
    std::filesystem::remove_all(it->path(), ignored);
  }
}

}  // namespace vatrix
