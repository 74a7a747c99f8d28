#include "hostdata/file_names.h"

#include <algorithm>
#include <filesystem>
#include <system_error>
#include <vector>

#include "hostdata/text.h"

namespace vatrix {

namespace fs = std::filesystem;

namespace {

bool IsRegularFile(const fs::path& path) {
  std::error_code error;
  return fs::is_regular_file(path, error);
}

// A file name without a folder part: not empty, no separator, no NUL.
bool IsPlainName(const std::string& name) {
  return !name.empty() && name.find_first_of(std::string("/\\\0", 3)) == std::string::npos;
}

}  // namespace

char PathSeparator() {
#ifdef _WIN32
  return '\\';
#else
  return '/';
#endif
}

std::string WithSeparator(const std::string& folder) {
  return !folder.empty() && folder.back() == PathSeparator() ? folder : folder + PathSeparator();
}

std::optional<std::string> FindFileIgnoringCase(const std::string& folder,
                                                const std::string& name) {
  const std::string exact = WithSeparator(folder) + name;
  if (IsPlainName(name) && IsRegularFile(exact)) return exact;
  const std::vector<std::string> matches = FilesIgnoringCase(folder, name);
  if (matches.empty()) return std::nullopt;
  return matches.front();
}

std::vector<std::string> FilesIgnoringCase(const std::string& folder, const std::string& name) {
  if (!IsPlainName(name)) return {};
  const std::string base = WithSeparator(folder);
  std::vector<std::string> matches;
  std::error_code error;
  for (fs::directory_iterator it(base, error), end; !error && it != end; it.increment(error)) {
    const std::string entry = it->path().filename().string();
    if (EqualsIgnoreCase(entry, name) && IsRegularFile(it->path())) matches.push_back(base + entry);
  }
  std::sort(matches.begin(), matches.end());
  return matches;
}

}  // namespace vatrix
