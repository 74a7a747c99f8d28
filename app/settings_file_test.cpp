#include "app/settings_file.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>

namespace vatrix {
namespace {

class GetIniTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (std::filesystem::temp_directory_path() / "vatrix-ini-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    folder_ = pattern;
  }
  void TearDown() override { std::filesystem::remove_all(folder_); }

  // The "Tax Selection" value of a settings file holding `bytes`.
  std::string TaxSelection(const std::string& bytes) {
    std::ofstream(folder_ + "/Vatrix.ini", std::ios::binary) << bytes;
    return GetINI(folder_ + "/Vatrix.ini", "Settings", "Tax Selection");
  }

  std::string folder_;
};

TEST_F(GetIniTest, ReadsTheKeysValue) {
  EXPECT_EQ(TaxSelection("[Other]\nTax Selection=No\n[Settings]\nTax Selection=Yes\n"), "Yes");
  EXPECT_EQ(TaxSelection("[Settings]\nTax Selection=\n"), "");
  EXPECT_EQ(TaxSelection("[ settings ]\n  TAX selection  =  Yes please  \n"), "Yes please");
  EXPECT_EQ(TaxSelection("[Settings]\nTax Selection=\" padded \"\n"), " padded ");
  EXPECT_EQ(TaxSelection("[Settings]\nTax Selection=\"open\n"), "\"open");
  EXPECT_EQ(TaxSelection("[Settings]\nTax Selection=a=b;c\n"), "a=b;c");
  EXPECT_EQ(TaxSelection(";[Settings]\r\n[Settings]\r\n; Tax Selection=Yes\r\n\r\nTax "
                         "Selection=On\r\n"),
            "On");
  EXPECT_EQ(TaxSelection("\xEF\xBB\xBF[Settings]\nTax Selection=Yes"), "Yes");
  const std::string value(150, 'v');
  EXPECT_EQ(TaxSelection("[Settings]\nTax Selection=" + value), value.substr(0, 99));
  EXPECT_EQ(TaxSelection("[Settings]\nTax Selection=\"" + value + "\""), value.substr(0, 99));
}

TEST_F(GetIniTest, MissingPartsReadEmpty) {
  EXPECT_EQ(GetINI(folder_ + "/none.ini", "Settings", "Tax Selection"), "");
  EXPECT_EQ(GetINI(folder_, "Settings", "Tax Selection"), "");  // a folder
  EXPECT_EQ(TaxSelection("[Setting]\nTax Selection=Yes\n"), "");
  EXPECT_EQ(TaxSelection("Tax Selection=Yes\n[Settings]\nTaxSelection=Yes\n"), "");
  EXPECT_EQ(TaxSelection("[Settings]\nTax Selection\n"), "");
  // Only the first section of a name is read.
  EXPECT_EQ(TaxSelection("[Settings]\nA=1\n[Settings]\nTax Selection=Yes\n"), "");
}

TEST_F(GetIniTest, HostileFilesNeverCrash) {
  std::string junk;
  for (int i = 0; i < 4096; ++i) junk.push_back(static_cast<char>((i * 131 + 7) % 256));
  EXPECT_EQ(TaxSelection(junk), "");
  EXPECT_EQ(TaxSelection(std::string("[Settings]\nTax Selection=Y") + '\0' + "es"),
            std::string("Y\0es", 4));
  const std::string huge(400 * 1024, 'x');
  EXPECT_EQ(TaxSelection("[Settings]\n" + huge + "\n[" + huge + "\nTax Selection=Yes\n"), "Yes");
  // Larger than any settings file, or no regular file: not one, refused without reading.
  EXPECT_EQ(TaxSelection("[Settings]\nTax Selection=Yes\n" + huge + huge + huge), "");
  ASSERT_EQ(mkfifo((folder_ + "/fifo").c_str(), 0600), 0);
  for (const std::string& path : {std::string("/dev/zero"), folder_ + "/fifo"}) {
    EXPECT_EQ(GetINI(path, "Settings", "Tax Selection"), "");
    EXPECT_NE(SettingsFileProblem(path), "");
  }
  EXPECT_EQ(SettingsFileProblem(folder_ + "/none.ini"), "");
}

}  // namespace
}  // namespace vatrix
