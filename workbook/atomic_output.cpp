#include "workbook/atomic_output.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <optional>

#include "hostdata/file_bytes.h"
#include "hostdata/host_error.h"
#include "workbook/interrupt_cleanup.h"
#include "workbook/spreadsheet.h"

namespace vatrix {

namespace {

[[noreturn]] void Fail(const std::string& what, const std::string& path, int error = 0) {
  std::string description = what;
  if (error != 0) description += ": " + std::string(std::strerror(error));
  throw HostError(kSpreadsheetError, description, path);
}

constexpr char kTemporaryPrefix[] = ".vatrix-save-";

std::string FolderOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

// Closes the descriptor and removes the temporary name (if any) unless published.
class TempFile {
 public:
  explicit TempFile(const std::string& path) : path_(path) {
    if (path.empty() || path.back() == '/' || path.find('\0') != std::string::npos) {
      Fail("the output path names no file", path);
    }
    const std::string folder = FolderOf(path);
    struct stat info;
    if (stat(folder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) {
      Fail("the output folder " + folder + " does not exist", path);
    }
    // An unnamed file vanishes by itself if the program is interrupted; file systems without
    // unnamed files get a hidden temporary name instead.
    fd_ = open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0644);
    if (fd_ < 0) {
      SweepLeftovers(folder, kTemporaryPrefix);
      temp_name_ = TemporaryNameFor(path);
      fd_ = mkstemp(temp_name_.data());
      if (fd_ < 0) {
        temp_name_.clear();
        Fail("cannot create a file in the output folder " + folder, path, errno);
      }
      NoteLeftover(temp_name_);
      fchmod(fd_, 0644);
    }
  }
  ~TempFile() {
    if (fd_ >= 0) close(fd_);
    if (temp_name_.empty()) return;
    unlink(temp_name_.c_str());
    ForgetLeftover(temp_name_);
  }
  TempFile(const TempFile&) = delete;
  TempFile& operator=(const TempFile&) = delete;

  void Write(std::string_view bytes) {
    while (!bytes.empty()) {
      const ssize_t done = write(fd_, bytes.data(), bytes.size());
      if (done < 0 && errno == EINTR) continue;
      if (done <= 0) Fail("cannot write the output file", path_, done < 0 ? errno : ENOSPC);
      bytes.remove_prefix(static_cast<size_t>(done));
    }
  }

  // Gives the complete file its name; fails when a file of that name exists.
  void Publish() {
    if (fsync(fd_) != 0) Fail("cannot write the output file", path_, errno);
    int linked;
    if (temp_name_.empty()) {
      const std::string self = "/proc/self/fd/" + std::to_string(fd_);
      linked = linkat(AT_FDCWD, self.c_str(), AT_FDCWD, path_.c_str(), AT_SYMLINK_FOLLOW);
    } else {
      linked = link(temp_name_.c_str(), path_.c_str());
    }
    if (linked != 0 && errno == EEXIST) {
      Fail("a file of that name exists already; it was not replaced", path_);
    }
    if (linked != 0) Fail("cannot name the output file", path_, errno);
  }

 private:
  std::string path_;
  std::string temp_name_;
  int fd_ = -1;
};

}  // namespace

std::string TemporaryNameFor(const std::string& path) {
  return FolderOf(path) + "/" + LeftoverPrefix(kTemporaryPrefix) + "XXXXXX";
}

void WriteNewFile(const std::string& path, std::string_view bytes) {
  TempFile file(path);
  file.Write(bytes);
  file.Publish();
}

void CopyToNewFile(const std::string& source, const std::string& path) {
  const std::optional<std::string> bytes = ReadFileBytes(source);
  if (!bytes) Fail("cannot read the saved workbook " + source, path);
  WriteNewFile(path, *bytes);
}

}  // namespace vatrix
