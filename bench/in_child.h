// Measuring in a fresh child process, so that each measurement starts cold: no table loaded,
// no office running.
#ifndef VATRIX_BENCH_IN_CHILD_H_
#define VATRIX_BENCH_IN_CHILD_H_

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <type_traits>

namespace vatrix::bench {

// Runs `measure` in a child process and returns what it measured, a plain struct passed back
// through a pipe. Ends the program when the child fails.
template <typename Measure>
auto InChild(Measure measure) -> decltype(measure()) {
  using Result = decltype(measure());
  static_assert(std::is_trivially_copyable_v<Result>, "the result crosses a pipe as bytes");
  int pipe_ends[2];
  if (pipe(pipe_ends) != 0) std::exit(1);
  std::fflush(stdout);
  const pid_t child = fork();
  if (child == 0) {
    close(pipe_ends[0]);
    const Result result = measure();
    if (write(pipe_ends[1], &result, sizeof result) != sizeof result) _exit(1);
    _exit(0);
  }
  close(pipe_ends[1]);
  Result result{};
  const bool ok = read(pipe_ends[0], &result, sizeof result) == sizeof result;
  close(pipe_ends[0]);
  int status = 0;
  waitpid(child, &status, 0);
  if (!ok || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    std::fprintf(stderr, "bench: the measuring process failed\n");
    std::exit(1);
  }
  return result;
}

}  // namespace vatrix::bench

#endif  // VATRIX_BENCH_IN_CHILD_H_
