// The single-instance test of the desktop program.
#ifndef VATRIX_APP_SINGLE_INSTANCE_H_
#define VATRIX_APP_SINGLE_INSTANCE_H_

#include <string>

namespace vatrix {

// Holds an exclusive lock on a file named `name` in the user's runtime folder for as long as
// it lives. AlreadyRunning() is true when another live process held the lock first; a lock
// left by a process that died does not count.
class SingleInstance {
 public:
  explicit SingleInstance(const std::string& name);
  ~SingleInstance();
  SingleInstance(const SingleInstance&) = delete;
  SingleInstance& operator=(const SingleInstance&) = delete;

  bool AlreadyRunning() const { return already_running_; }

 private:
  int fd_ = -1;
  bool already_running_ = false;
};

}  // namespace vatrix

#endif  // VATRIX_APP_SINGLE_INSTANCE_H_
