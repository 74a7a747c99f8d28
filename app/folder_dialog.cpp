#include "app/folder_dialog.h"

#include <algorithm>
#include <cctype>

#include "app/output_naming.h"

namespace vatrix {

std::string FolderDialogStart(const std::string& folder_text) {
  if (!folder_text.empty()) return folder_text;
#ifdef _WIN32
  return "c:\\";
#else
  return "/";
#endif
}

std::string ChosenFolderText(const std::string& folder) {
  std::string text = folder;
#ifdef _WIN32
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
#endif
  if (text.empty() || text.back() != PathSeparator()) text += PathSeparator();
  return text;
}

}  // namespace vatrix
