#include "app/folder_dialog.h"

#include <gtest/gtest.h>

namespace vatrix {
namespace {

TEST(FolderDialogTest, StartsFromTheChosenFolderOrTheRoot) {
  EXPECT_EQ(FolderDialogStart("/home/dealer/Returns/"), "/home/dealer/Returns/");
  EXPECT_EQ(FolderDialogStart(""), "/");
}

TEST(FolderDialogTest, ChosenFolderKeepsItsCaseAndEndsInASeparator) {
  // Names are case-sensitive here: upper-casing would point at another folder.
  EXPECT_EQ(ChosenFolderText("/home/dealer/Returns"), "/home/dealer/Returns/");
  EXPECT_EQ(ChosenFolderText("/home/dealer/Returns/"), "/home/dealer/Returns/");
  EXPECT_EQ(ChosenFolderText("/"), "/");
}

}  // namespace
}  // namespace vatrix
