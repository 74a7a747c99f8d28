#include "workbook/office_process.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <vector>

#include "hostdata/file_bytes.h"
#include "hostdata/host_error.h"
#include "workbook/interrupt_cleanup.h"
#include "workbook/spreadsheet.h"

namespace vatrix {

namespace {

constexpr char kRootPrefix[] = "vatrix-office-";
constexpr char kPipePrefix[] = "vatrix-";
// The folders the office puts its pipe sockets in: the first it may write to.
constexpr const char* kSocketFolders[] = {"/tmp", "/var/tmp"};

std::string SystemTemp() {
  const char* tmp = std::getenv("TMPDIR");
  return tmp != nullptr && *tmp != '\0' ? tmp : "/tmp";
}

std::string SocketPrefix() { return "OSL_PIPE_" + std::to_string(getuid()) + "_" + kPipePrefix; }

// Removes what offices of runs that were killed left: their private folders and sockets.
void SweepKilledRuns() {
  SweepLeftovers(SystemTemp(), kRootPrefix);
  for (const char* folder : kSocketFolders) SweepLeftovers(folder, SocketPrefix());
}

// The office's private folder, named after this process so that a later run can tell
// whether its owner is gone.
std::string TempRoot() {
  SweepKilledRuns();
  std::string root = SystemTemp() + "/" + LeftoverPrefix(kRootPrefix) + "XXXXXX";
  if (mkdtemp(root.data()) == nullptr) {
    throw HostError(kEngineUnavailable,
                    "cannot create the spreadsheet engine's private folder: " +
                        std::string(std::strerror(errno)),
                    root);
  }
  return root;
}

int StatusOf(int wait_status) {
  return WIFEXITED(wait_status) ? WEXITSTATUS(wait_status) : 128 + WTERMSIG(wait_status);
}

// The program's environment with the locale set to C.UTF-8 and the temp folder set to
// `temp_dir`, as "NAME=value" entries.
std::vector<std::string> OfficeEnvironment(const std::string& temp_dir) {
  std::vector<std::string> entries = {"LC_ALL=C.UTF-8", "TMPDIR=" + temp_dir, "TMP=" + temp_dir,
                                      "TEMP=" + temp_dir};
  for (char** entry = environ; *entry != nullptr; ++entry) {
    const std::string_view text = *entry;
    const std::string_view name = text.substr(0, text.find('='));
    if (name != "LC_ALL" && name != "TMPDIR" && name != "TMP" && name != "TEMP") {
      entries.emplace_back(text);
    }
  }
  return entries;
}

std::vector<char*> Pointers(std::vector<std::string>& texts) {
  std::vector<char*> pointers;
  for (std::string& text : texts) pointers.push_back(text.data());
  pointers.push_back(nullptr);
  return pointers;
}

}  // namespace

void SeedOfficeProfile(const std::string& program_dir, const std::string& profile_dir) {
  const std::optional<std::string> configuration =
      ReadFileBytes(program_dir + "/../share/registry/main.xcd");
  const std::optional<std::string> version =
      configuration ? OfficeVersionOf(*configuration) : std::nullopt;
  if (!version) return;
  std::error_code error;
  std::filesystem::create_directories(profile_dir + "/user", error);
  std::ofstream(profile_dir + "/user/registrymodifications.xcu", std::ios::binary)
      << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
         "<oor:items xmlns:oor=\"http://openoffice.org/2001/registry\" "
         "xmlns:xs=\"http://www.w3.org/2001/XMLSchema\" "
         "xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\">\n"
         "<item oor:path=\"/org.openoffice.Setup/Product\"><prop oor:name=\"ooSetupLastVersion\" "
         "oor:op=\"fuse\"><value>"
      << *version << "</value></prop></item>\n</oor:items>\n";
}

std::string FileUrl(const std::string& path) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string url = "file://";
  for (unsigned char c : std::filesystem::absolute(path).string()) {
    if (std::isalnum(c) || std::strchr("/-._~", c) != nullptr) {
      url += static_cast<char>(c);
    } else {
      url += '%';
      url += kHex[c >> 4];
      url += kHex[c & 15];
    }
  }
  return url;
}

std::optional<std::string> OfficeVersionOf(std::string_view configuration) {
  constexpr std::string_view kProperty = "<prop oor:name=\"ooSetupVersion\">";
  constexpr std::string_view kValue = "<value>";
  const size_t property = configuration.find(kProperty);
  if (property == std::string_view::npos) return std::nullopt;
  const size_t value = configuration.find(kValue, property + kProperty.size());
  if (value == std::string_view::npos) return std::nullopt;
  const size_t first = value + kValue.size();
  size_t last = first;
  while (last < configuration.size() && last - first < 16 &&
         (std::isdigit(static_cast<unsigned char>(configuration[last])) ||
          configuration[last] == '.')) {
    ++last;
  }
  if (last == first || configuration.substr(last, 8) != "</value>") return std::nullopt;
  return std::string(configuration.substr(first, last - first));
}

std::vector<std::string> PipeSocketsOf(pid_t pid) {
  std::set<std::string> inodes;  // of the sockets among the process's open files
  try {
    for (const auto& entry :
         std::filesystem::directory_iterator("/proc/" + std::to_string(pid) + "/fd")) {
      std::error_code error;
      const std::string target = std::filesystem::read_symlink(entry.path(), error).string();
      if (!error && target.rfind("socket:[", 0) == 0) {
        inodes.insert(target.substr(8, target.size() - 9));
      }
    }
  } catch (const std::filesystem::filesystem_error&) {
    return {};  // the process has ended
  }
  // Lines of the kernel's table: Num RefCount Protocol Flags Type St Inode Path.
  std::vector<std::string> sockets;
  std::ifstream table("/proc/net/unix");
  std::string line;
  std::getline(table, line);
  while (std::getline(table, line)) {
    std::istringstream fields(line);
    std::string skipped, inode, path;
    for (int i = 0; i < 6; ++i) fields >> skipped;
    fields >> inode >> path;
    const bool office_pipe =
        std::filesystem::path(path).filename().string().rfind("OSL_PIPE_", 0) == 0;
    if (path.size() > 1 && path[0] == '/' && office_pipe && inodes.count(inode)) {
      sockets.push_back(path);
    }
  }
  return sockets;
}

OfficeOptions DefaultOfficeOptions() {
  OfficeOptions options;
  options.program_dir = VATRIX_OFFICE_PROGRAM_DIR;
  // VATRIX_OFFICE names the office's program folder, or its soffice program (a link such as
  // /usr/bin/soffice leads to the folder).
  if (const char* office = std::getenv("VATRIX_OFFICE"); office && *office) {
    std::error_code error;
    const std::filesystem::path named = std::filesystem::canonical(office, error);
    const std::filesystem::path path = error ? std::filesystem::path(office) : named;
    options.program_dir =
        std::filesystem::is_regular_file(path, error) ? path.parent_path().string() : path.string();
  }
  return options;
}

OfficeProcess::OfficeProcess(const std::string& program_dir)
    : program_dir_(program_dir), root_dir_(TempRoot()) {
  static std::atomic<int> counter{0};
  NoteLeftover(root_dir_);
  work_dir_ = root_dir_ + "/work";
  std::filesystem::create_directory(work_dir_);
  std::filesystem::create_directory(root_dir_ + "/tmp");
  SeedOfficeProfile(program_dir_, root_dir_ + "/profile");
  pipe_name_ = LeftoverPrefix(kPipePrefix) + std::to_string(++counter) + "-" +
               std::filesystem::path(root_dir_).filename().string();
  for (const char* folder : kSocketFolders) NoteLeftover(SocketPath(folder));
  try {
    Spawn();
  } catch (...) {
    std::error_code ignored;
    std::filesystem::remove_all(root_dir_, ignored);
    Forget();
    throw;
  }
}

OfficeProcess::~OfficeProcess() {
  Kill();
  std::error_code ignored;
  std::filesystem::remove_all(root_dir_, ignored);
  // The socket of the office's pipe, which an office that was killed leaves behind.
  for (const char* folder : kSocketFolders) std::filesystem::remove(SocketPath(folder), ignored);
  Forget();
}

std::string OfficeProcess::SocketPath(const std::string& folder) const {
  return folder + "/OSL_PIPE_" + std::to_string(getuid()) + "_" + pipe_name_;
}

void OfficeProcess::Forget() {
  ForgetLeftover(root_dir_);
  for (const char* folder : kSocketFolders) ForgetLeftover(SocketPath(folder));
}

// The child runs in its own process group (so that every process the office starts can be
// ended together) and is killed by the kernel when the thread that started it ends.
void OfficeProcess::Spawn() {
  const std::string binary = program_dir_ + "/soffice.bin";
  std::vector<std::string> args = {
      binary,
      "-env:UserInstallation=" + FileUrl(root_dir_ + "/profile"),
      "--headless",
      "--invisible",
      "--nologo",
      "--norestore",
      "--nodefault",
      "--nolockcheck",
      "--accept=pipe,name=" + pipe_name_ + ";urp;StarOffice.ComponentContext"};
  const std::vector<char*> argv = Pointers(args);
  std::vector<std::string> environment = OfficeEnvironment(root_dir_ + "/tmp");
  const std::vector<char*> envp = Pointers(environment);

  const pid_t parent = getpid();
  const pid_t pid = ForkNotedProcessGroup();
  if (pid < 0) {
    throw HostError(kEngineUnavailable,
                    "cannot start the spreadsheet engine: " + std::string(std::strerror(errno)),
                    binary);
  }
  if (pid == 0) {
    setpgid(0, 0);
    UnblockSignals();          // the program blocks the interrupt signals its own way
    signal(SIGPIPE, SIG_DFL);  // the office handles its pipes as any program started afresh
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (getppid() != parent) _exit(127);
    const int null = open("/dev/null", O_RDWR);
    if (null >= 0) {
      dup2(null, 0);
      dup2(null, 1);
      dup2(null, 2);
    }
    execve(binary.c_str(), argv.data(), envp.data());
    _exit(127);
  }
  setpgid(pid, pid);
  std::lock_guard<std::mutex> lock(mutex_);
  pid_ = pid;
  exit_status_.reset();
}

std::optional<int> OfficeProcess::Ended() {
  std::lock_guard<std::mutex> lock(mutex_);
  siginfo_t info{};
  // Looks without reaping: until it is reaped, the process's id cannot name another group.
  if (!exit_status_ && pid_ > 0 && waitid(P_PID, pid_, &info, WEXITED | WNOHANG | WNOWAIT) == 0 &&
      info.si_pid == pid_) {
    KillAndReap();
  }
  return exit_status_;
}

void OfficeProcess::Kill() {
  std::lock_guard<std::mutex> lock(mutex_);
  if (pid_ > 0 && !exit_status_) KillAndReap();
}

void OfficeProcess::KillAndReap() {
  for (std::string& socket : PipeSocketsOf(pid_)) sockets_.push_back(std::move(socket));
  kill(-pid_, SIGKILL);
  int status = 0;
  exit_status_ = waitpid(pid_, &status, 0) == pid_ ? StatusOf(status) : 128 + SIGKILL;
  ForgetProcessGroup(pid_);
  std::error_code ignored;
  for (const std::string& socket : sockets_) std::filesystem::remove(socket, ignored);
  sockets_.clear();
}

void OfficeProcess::NoteSockets() {
  std::lock_guard<std::mutex> lock(mutex_);
  if (pid_ > 0 && !exit_status_) sockets_ = PipeSocketsOf(pid_);
}

void OfficeProcess::Restart() {
  Kill();
  Spawn();
}

Watchdog::Watchdog(OfficeProcess& office, std::chrono::milliseconds timeout)
    : office_(office), timeout_(timeout), thread_([this] { Watch(); }) {}

Watchdog::~Watchdog() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stopping_ = true;
  }
  changed_.notify_all();
  thread_.join();
}

bool Watchdog::fired() {
  std::lock_guard<std::mutex> lock(mutex_);
  return fired_;
}

void Watchdog::Arm() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    deadline_ = std::chrono::steady_clock::now() + timeout_;
  }
  changed_.notify_all();
}

void Watchdog::Disarm() {
  std::lock_guard<std::mutex> lock(mutex_);
  deadline_.reset();
}

void Watchdog::Watch() {
  std::unique_lock<std::mutex> lock(mutex_);
  while (!stopping_) {
    if (!deadline_) {
      changed_.wait(lock);
    } else if (changed_.wait_until(lock, *deadline_) == std::cv_status::timeout && deadline_ &&
               std::chrono::steady_clock::now() >= *deadline_) {
      fired_ = true;
      deadline_.reset();
      lock.unlock();
      office_.Kill();
      lock.lock();
    }
  }
}

}  // namespace vatrix
