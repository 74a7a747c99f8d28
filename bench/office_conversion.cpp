#include "bench/office_conversion.h"

#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "workbook/office_process.h"

namespace vatrix::bench {

namespace fs = std::filesystem;

double OfficeConvertToXls(const fs::path& csv, const fs::path& dir) {
  fs::remove_all(dir / "profile");
  fs::remove_all(dir / "converted");
  // Spared the first-start self-tests, as the program's own office is.
  SeedOfficeProfile(DefaultOfficeOptions().program_dir, (dir / "profile").string());
  const std::string profile = FileUrl((dir / "profile").string());
  const std::string outdir = (dir / "converted").string();
  std::fflush(stdout);
  const auto start = std::chrono::steady_clock::now();
  const pid_t pid = fork();
  if (pid == 0) {
    std::freopen("/dev/null", "w", stdout);
    const std::string env = "-env:UserInstallation=" + profile;
    execlp("soffice", "soffice", env.c_str(), "--headless", "--norestore", "--convert-to", "xls",
           "--outdir", outdir.c_str(), csv.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  int status = 0;
  waitpid(pid, &status, 0);
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  const fs::path converted = fs::path(outdir) / csv.filename().replace_extension(".xls");
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0 || !fs::exists(converted)) {
    std::fprintf(stderr, "the office's conversion of %s failed\n", csv.c_str());
    std::exit(1);
  }
  return seconds;
}

}  // namespace vatrix::bench
