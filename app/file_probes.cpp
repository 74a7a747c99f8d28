#include "app/file_probes.h"
#include "hostdata/text.h"

#include <filesystem>
#include <fstream>
#include <string_view>
#include <system_error>

namespace vatrix {

namespace fs = std::filesystem;

namespace {

// An empty path, or one with a NUL byte that the system would cut short, names nothing.
bool Unusable(const std::string& path) {
  return path.empty() || path.find('\0') != std::string::npos;
}

bool IsSeparator(char c) {
#ifdef _WIN32
  return c == '\\' || c == '/';
#else
  return c == '/';
#endif
}

}  // namespace

bool DirExists(const std::string& path) {
  if (Unusable(path)) return false;
  std::error_code error;
  fs::directory_iterator listing(path, error);
  return !error;
}

bool FileExists(const std::string& path) {
  if (Unusable(path)) return false;
  std::error_code error;
  if (fs::is_directory(path, error)) return false;
  std::ifstream file(path, std::ios::binary);
  return file.is_open();
}

bool isFileExist(const std::string& path) {
  if (Unusable(path)) return false;
  size_t cut = path.size();
  while (cut > 0 && !IsSeparator(path[cut - 1])) --cut;
  const std::string_view name = std::string_view(path).substr(cut);
  if (name.empty()) return false;
  const std::string folder = cut == 0 ? "." : path.substr(0, cut);

  std::error_code error;
  if (fs::is_regular_file(path, error)) return true;
  const fs::directory_iterator end;
  for (fs::directory_iterator it(folder, error); !error && it != end; it.increment(error)) {
    std::error_code type_error;
    if (EqualsIgnoreCase(it->path().filename().string(), name) && it->is_regular_file(type_error)) {
      return true;
    }
  }
  return false;
}

}  // namespace vatrix
