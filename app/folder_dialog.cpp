#include "app/folder_dialog.h"

#include <algorithm>
#include <cctype>
#include <string_view>

#include "hostdata/file_names.h"
#include "hostdata/text.h"

namespace vatrix {

namespace {

bool EndsInSeparator(std::string_view text) {
#ifdef _WIN32
  return !text.empty() && (text.back() == '\\' || text.back() == '/');
#else
  return !text.empty() && text.back() == '/';
#endif
}

}  // namespace

std::string FolderDialogStart(const std::string& folder_text) {
  const std::string_view folder = Trim(folder_text);
  if (!folder.empty()) return std::string(folder);
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

std::string TypedFolderText(const std::string& folder_text) {
  const std::string_view folder = Trim(folder_text);
  if (EndsInSeparator(folder)) return folder_text;
  return std::string(folder) + PathSeparator();
}

}  // namespace vatrix
