#include "workbook/interrupt_cleanup.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

#include "hostdata/test_tables.h"

namespace vatrix {
namespace {

namespace fs = std::filesystem;

TEST(InterruptCleanupTest, SweepsWhatEndedRunsLeftAndNothingElse) {
  const std::string folder = testing::MakeTempFolder();
  const pid_t ended = fork();
  if (ended == 0) _exit(0);
  waitpid(ended, nullptr, 0);
  const std::string of_ended = folder + "/vatrix-office-" + std::to_string(ended) + "-ab12";
  const std::string of_ours = LeftoverPrefix(folder + "/vatrix-office-") + "cd34";
  fs::create_directories(of_ended + "/profile");
  fs::create_directory(of_ours);
  fs::create_directory(folder + "/vatrix-office-x1y2z3");  // names no process
  fs::create_directory(folder + "/other-" + std::to_string(ended) + "-x");
  SweepLeftovers(folder, "vatrix-office-");
  EXPECT_FALSE(fs::exists(of_ended));
  EXPECT_TRUE(fs::exists(of_ours));
  EXPECT_TRUE(fs::exists(folder + "/vatrix-office-x1y2z3"));
  EXPECT_TRUE(fs::exists(folder + "/other-" + std::to_string(ended) + "-x"));
  fs::remove_all(folder);
}

}  // namespace
}  // namespace vatrix
