#include "app/folder_dialog.h"

#include <gtest/gtest.h>

namespace vatrix {
namespace {

TEST(FolderDialogTest, StartsFromTheChosenFolderOrTheRoot) {
  EXPECT_EQ(FolderDialogStart("/home/dealer/Returns/"), "/home/dealer/Returns/");
  EXPECT_EQ(FolderDialogStart(""), "/");
  // Blanks alone are no folder, and blanks around one are not part of its name.
  EXPECT_EQ(FolderDialogStart("   "), "/");
  EXPECT_EQ(FolderDialogStart(" /home/dealer/Returns/ "), "/home/dealer/Returns/");
}

TEST(FolderDialogTest, ChosenFolderKeepsItsCaseAndEndsInASeparator) {
  // Names are case-sensitive here: upper-casing would point at another folder.
  EXPECT_EQ(ChosenFolderText("/home/dealer/Returns"), "/home/dealer/Returns/");
  EXPECT_EQ(ChosenFolderText("/home/dealer/Returns/"), "/home/dealer/Returns/");
  EXPECT_EQ(ChosenFolderText("/"), "/");
}

TEST(FolderDialogTest, TypedFolderGetsItsClosingSeparator) {
  EXPECT_EQ(TypedFolderText("/home/dealer/Returns"), "/home/dealer/Returns/");
  EXPECT_EQ(TypedFolderText(" /home/dealer/Returns "), "/home/dealer/Returns/");
  EXPECT_EQ(TypedFolderText("/home/dealer/Returns/"), "/home/dealer/Returns/");
}

}  // namespace
}  // namespace vatrix
