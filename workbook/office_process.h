// The headless office process behind the spreadsheet engine: started invisible with a private
// profile, in its own process group, and never outliving the program; and the watchdog that
// ends it when a call into it does not return in time.
#ifndef VATRIX_WORKBOOK_OFFICE_PROCESS_H_
#define VATRIX_WORKBOOK_OFFICE_PROCESS_H_

#include <sys/types.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace vatrix {

struct OfficeOptions {
  std::string program_dir;  // the office's program folder (soffice.bin, fundamentalrc)
  std::chrono::milliseconds call_timeout{60000};   // one call into the office
  std::chrono::milliseconds start_timeout{60000};  // start until it accepts the connection
};

// The file URL of `path` (made absolute), every byte but unreserved ones and '/' escaped.
std::string FileUrl(const std::string& path);

// The office's version ("7.4") as its main configuration file `configuration` states it, or
// nullopt when it does not.
std::optional<std::string> OfficeVersionOf(std::string_view configuration);

// The office runs seconds of graphics self-tests at its first start in a profile after a new
// version; a headless office never records that it ran them, so a fresh profile would run them
// at every start. Records in the profile folder `profile_dir` the version installed in
// `program_dir` as the last one seen, which skips them. Without a readable version the profile
// stays empty and the office merely starts slower.
void SeedOfficeProfile(const std::string& program_dir, const std::string& profile_dir);

// The options with the office folder VATRIX_OFFICE names (the folder, or the soffice program in
// it), else the one this program was built against.
OfficeOptions DefaultOfficeOptions();

// The office's pipe socket files ("OSL_PIPE_...") that process `pid` has bound; empty when it
// has none or no longer runs. A killed office leaves them behind.
std::vector<std::string> PipeSocketsOf(pid_t pid);

class OfficeProcess {
 public:
  // Starts soffice.bin headless, with a private profile and temp folder in a private folder of
  // the temp folder (what killed runs left there is swept first), a pipe name unique to this
  // process and the C.UTF-8 locale (numbers shown with a decimal point whatever
  // the user's locale). The kernel ends the office when the calling thread ends, so start
  // it from a thread that outlives its use. Throws HostError kEngineUnavailable when it cannot.
  explicit OfficeProcess(const std::string& program_dir);
  // Kills the process group and removes the private folder.
  ~OfficeProcess();
  OfficeProcess(const OfficeProcess&) = delete;
  OfficeProcess& operator=(const OfficeProcess&) = delete;

  const std::string& pipe_name() const { return pipe_name_; }
  // A private folder for files the office writes (removed with the profile).
  const std::string& work_dir() const { return work_dir_; }
  pid_t pid() const { return pid_; }

  // The exit status once the process has ended (what is left of its group is then ended and
  // the process reaped), or nullopt while it runs.
  std::optional<int> Ended();
  // Ends the process group now and reaps it; nothing once it is reaped (its id may have been
  // reused). Safe from any thread.
  void Kill();
  // Starts the process again after it ended asking for a restart (a fresh profile does).
  void Restart();
  // Notes the pipe socket files the running office has bound, so that they are removed when
  // it has ended, even when it ended by itself.
  void NoteSockets();

 private:
  void Spawn();
  void KillAndReap();  // with mutex_ held
  // The office's pipe socket in `folder`.
  std::string SocketPath(const std::string& folder) const;
  // Forgets the leftovers noted for an interruption (interrupt_cleanup.h).
  void Forget();

  std::string program_dir_;
  std::string root_dir_;  // holds the profile and work_dir_
  std::string work_dir_;
  std::string pipe_name_;
  pid_t pid_ = -1;
  std::mutex mutex_;
  std::optional<int> exit_status_;
  std::vector<std::string> sockets_;  // pipe socket files to remove once the process is reaped
};

// Ends the office when a call takes longer than the timeout.
class Watchdog {
 public:
  Watchdog(OfficeProcess& office, std::chrono::milliseconds timeout);
  ~Watchdog();
  Watchdog(const Watchdog&) = delete;
  Watchdog& operator=(const Watchdog&) = delete;

  // Marks a call in progress for the lifetime of the guard.
  class Guard {
   public:
    explicit Guard(Watchdog& watchdog) : watchdog_(watchdog) { watchdog_.Arm(); }
    ~Guard() { watchdog_.Disarm(); }
    Guard(const Guard&) = delete;
    Guard& operator=(const Guard&) = delete;

   private:
    Watchdog& watchdog_;
  };

  // True once the watchdog has ended the office.
  bool fired();
  std::chrono::milliseconds timeout() const { return timeout_; }

 private:
  void Arm();
  void Disarm();
  void Watch();

  OfficeProcess& office_;
  std::chrono::milliseconds timeout_;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::optional<std::chrono::steady_clock::time_point> deadline_;
  bool fired_ = false;
  bool stopping_ = false;
  std::thread thread_;
};

}  // namespace vatrix

#endif  // VATRIX_WORKBOOK_OFFICE_PROCESS_H_
