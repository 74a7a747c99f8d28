#include "app/single_instance.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

namespace vatrix {
namespace {

namespace fs = std::filesystem;

class SingleInstanceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "vatrix-run-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    folder_ = pattern;
    const char* previous = getenv("XDG_RUNTIME_DIR");
    had_previous_ = previous != nullptr;
    if (had_previous_) previous_ = previous;
    setenv("XDG_RUNTIME_DIR", folder_.c_str(), 1);
  }
  void TearDown() override {
    if (child_ > 0) {
      kill(child_, SIGKILL);
      waitpid(child_, nullptr, 0);
    }
    if (had_previous_) {
      setenv("XDG_RUNTIME_DIR", previous_.c_str(), 1);
    } else {
      unsetenv("XDG_RUNTIME_DIR");
    }
    fs::remove_all(folder_);
  }

  // Starts a child process that takes the lock `name` and then waits to be killed; returns
  // once the child holds it.
  void StartHolder(const std::string& name) {
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    child_ = fork();
    ASSERT_GE(child_, 0);
    if (child_ == 0) {
      close(ready[0]);
      SingleInstance instance(name);
      const char answer = instance.AlreadyRunning() ? 'n' : 'y';
      if (write(ready[1], &answer, 1) != 1) _exit(1);
      for (;;) pause();
    }
    close(ready[1]);
    char answer = 0;
    ASSERT_EQ(read(ready[0], &answer, 1), 1);
    close(ready[0]);
    ASSERT_EQ(answer, 'y');
  }

  void KillHolder() {
    kill(child_, SIGKILL);
    waitpid(child_, nullptr, 0);
    child_ = -1;
  }

  std::string folder_;
  std::string previous_;
  bool had_previous_ = false;
  pid_t child_ = -1;
};

TEST_F(SingleInstanceTest, SecondCopyFindsTheFirstUntilItDies) {
  StartHolder("desktop");
  {
    SingleInstance second("desktop");
    EXPECT_TRUE(second.AlreadyRunning());
    SingleInstance other("other");
    EXPECT_FALSE(other.AlreadyRunning());
  }
  KillHolder();  // the lock file stays behind, but no one holds it
  {
    SingleInstance after("desktop");
    EXPECT_FALSE(after.AlreadyRunning());
  }
  SingleInstance again("desktop");  // the previous lock ended with its instance
  EXPECT_FALSE(again.AlreadyRunning());
}

TEST_F(SingleInstanceTest, LockFileStaysInTheRuntimeFolder) {
  const std::string prefix = folder_ + "/vatrix-" + std::to_string(getuid()) + "-";
  { SingleInstance instance("../a/b"); }
  EXPECT_TRUE(fs::exists(prefix + ".._a_b.lock"));
  // A link planted in place of the lock file is not followed.
  fs::create_symlink(folder_ + "/target", prefix + "desktop.lock");
  {
    SingleInstance instance("desktop");
    EXPECT_FALSE(instance.AlreadyRunning());
  }
  EXPECT_FALSE(fs::exists(folder_ + "/target"));
  // A runtime folder that cannot hold the lock does not keep the program from starting.
  setenv("XDG_RUNTIME_DIR", (folder_ + "/missing").c_str(), 1);
  SingleInstance instance("desktop");
  EXPECT_FALSE(instance.AlreadyRunning());
}

}  // namespace
}  // namespace vatrix
