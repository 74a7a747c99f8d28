#include "app/host_probe.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>

#include "app/file_probes.h"

namespace vatrix {
namespace {

namespace fs = std::filesystem;

class ProbeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "vatrix-probe-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    folder_ = pattern + "/";
  }
  void TearDown() override { fs::remove_all(folder_); }

  std::string MakeFolder(const std::string& relative) {
    fs::create_directories(folder_ + relative);
    return folder_ + relative;
  }
  std::string MakeFile(const std::string& relative) {
    fs::create_directories(fs::path(folder_ + relative).parent_path());
    std::ofstream(folder_ + relative) << "x";
    return folder_ + relative;
  }

  std::string folder_;  // ends in a separator
};

TEST_F(ProbeTest, FileAndFolderProbes) {
  EXPECT_TRUE(DirExists(MakeFolder("empty/")));
  EXPECT_FALSE(DirExists(folder_ + "missing/"));
  EXPECT_FALSE(DirExists(MakeFile("plain.txt") + "/"));
  EXPECT_TRUE(FileExists(folder_ + "plain.txt"));
  EXPECT_FALSE(FileExists(folder_ + "empty"));
  EXPECT_FALSE(FileExists(folder_ + "plain.txt" + std::string(1, '\0') + "x"));
  // isFileExist: the name matches regardless of case, ordinary files only, folder as given.
  MakeFile("Sub/COMPANY.DBF");
  EXPECT_TRUE(isFileExist(folder_ + "Sub/Company.dbf"));
  EXPECT_FALSE(isFileExist(folder_ + "SUB/Company.dbf"));
  EXPECT_FALSE(isFileExist(folder_ + "Sub/Company.db"));
  EXPECT_FALSE(isFileExist(folder_ + "Sub/"));
  EXPECT_FALSE(isFileExist(folder_ + "sub"));
}

TEST_F(ProbeTest, CandidatesFollowRootThenNameOrder) {
  const std::string c = MakeFolder("c/");
  const std::string d = MakeFolder("d/");
  MakeFolder("d/Ordhx");
  MakeFolder("d/Ordova");
  MakeFolder("c/ordhxNET");
  MakeFolder("c/ORDOVA");
  MakeFolder("c/Ordovanet/sub");
  MakeFolder("c/Other");
  MakeFile("c/Ordhx");  // a file is no installation
  EXPECT_EQ(FindHostCandidates({c, folder_ + "missing/", d}),
            (std::vector<std::string>{c + "ORDOVA", c + "Ordovanet", c + "ordhxNET", d + "Ordova",
                                      d + "Ordhx"}));
  EXPECT_EQ(FindHostCandidates({folder_ + "d"}),  // no separator
            (std::vector<std::string>{d + "Ordova", d + "Ordhx"}));
  EXPECT_TRUE(FindHostCandidates({MakeFolder("empty/")}).empty());
}

TEST_F(ProbeTest, OneInstallationReachedTwiceIsListedOnce) {
  const std::string real = MakeFolder("real/");
  MakeFolder("real/Ordova");
  fs::create_directory_symlink(real, folder_ + "drive");
  EXPECT_EQ(FindHostCandidates({real, folder_ + "drive/"}),
            std::vector<std::string>{real + "Ordova"});
}

TEST_F(ProbeTest, RootsOfTheWinePrefixComeFirst) {
  const std::string prefix = MakeFolder("wine/");
  MakeFolder("wine/dosdevices/d:");
  MakeFolder("wine/dosdevices/c:");
  const char* previous = getenv("WINEPREFIX");
  const std::string saved = previous == nullptr ? "" : previous;
  setenv("WINEPREFIX", prefix.c_str(), 1);
  const std::vector<std::string> roots = ProbeRoots();
  if (previous == nullptr) {
    unsetenv("WINEPREFIX");
  } else {
    setenv("WINEPREFIX", saved.c_str(), 1);
  }
  ASSERT_GE(roots.size(), 3u);
  EXPECT_EQ(roots[0], prefix + "dosdevices/c:/");
  EXPECT_EQ(roots[1], prefix + "dosdevices/d:/");
  EXPECT_EQ(roots[2], "/");
}

}  // namespace
}  // namespace vatrix
