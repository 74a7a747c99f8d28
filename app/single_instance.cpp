#include "app/single_instance.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

namespace vatrix {

namespace {

// The lock file's path: "vatrix-<uid>-<name>.lock" in $XDG_RUNTIME_DIR, or /tmp when unset.
// Characters of `name` other than letters, digits, '.', '-' and '_' become '_', so the name
// cannot reach another folder.
std::string LockPath(const std::string& name) {
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  std::string path = runtime != nullptr && *runtime != '\0' ? runtime : "/tmp";
  if (path.back() != '/') path.push_back('/');
  path += "vatrix-" + std::to_string(getuid()) + "-";
  for (char c : name) {
    const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                       c == '.' || c == '-' || c == '_';
    path.push_back(plain ? c : '_');
  }
  return path + ".lock";
}

}  // namespace

// When the lock file cannot be opened or locked for any reason other than another holder, the
// test answers "not running": a broken runtime folder must not keep the program from starting.
// A file planted by another user (a symbolic link, or a file they own) is not used.
SingleInstance::SingleInstance(const std::string& name) {
  const int fd = open(LockPath(name).c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
  if (fd < 0) return;
  struct stat status;
  if (fstat(fd, &status) != 0 || status.st_uid != getuid()) {
    close(fd);
    return;
  }
  if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
    already_running_ = errno == EWOULDBLOCK;
    close(fd);
    return;
  }
  fd_ = fd;
}

SingleInstance::~SingleInstance() {
  if (fd_ >= 0) close(fd_);
}

}  // namespace vatrix
