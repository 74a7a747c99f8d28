#include "app/host_probe.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <set>
#include <string_view>
#include <system_error>

#include "app/file_probes.h"
#include "hostdata/file_names.h"
#include "hostdata/text.h"

namespace vatrix {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kHostFolderNames[] = {"Ordova", "Ordovanet", "Ordhx", "Ordhxnet"};

// The names of the entries of `folder`, sorted; folders only when `folders_only`. An
// unreadable folder gives none.
std::vector<std::string> SortedEntries(const std::string& folder, bool folders_only) {
  std::vector<std::string> names;
  std::error_code error;
  const fs::directory_iterator end;
  for (fs::directory_iterator it(folder, error); !error && it != end; it.increment(error)) {
    std::error_code type_error;
    if (!folders_only || it->is_directory(type_error)) {
      names.push_back(it->path().filename().string());
    }
  }
  std::sort(names.begin(), names.end());
  return names;
}

#ifndef _WIN32
std::string Environment(const char* name) {
  const char* value = std::getenv(name);
  return value == nullptr ? "" : value;
}

// The drive folders of the user's Wine prefix, c: to z:, those that exist.
std::vector<std::string> WineDrives() {
  std::string prefix = Environment("WINEPREFIX");
  if (prefix.empty()) {
    const std::string home = Environment("HOME");
    if (home.empty()) return {};
    prefix = WithSeparator(home) + ".wine";
  }
  std::vector<std::string> drives;
  for (char letter = 'c'; letter <= 'z'; ++letter) {
    const std::string drive = WithSeparator(prefix) + "dosdevices/" + letter + ":/";
    std::error_code error;
    if (fs::is_directory(drive, error)) drives.push_back(drive);
  }
  return drives;
}

// The folders under `parent`, sorted, and with `nested` also those one level further down.
void AddMountPoints(const std::string& parent, bool nested, std::vector<std::string>& roots) {
  for (const std::string& name : SortedEntries(parent, true)) {
    const std::string mount = parent + name + "/";
    roots.push_back(mount);
    if (nested) AddMountPoints(mount, false, roots);
  }
}
#endif

// The identity of a folder for spotting one installation reached through two roots (a Wine
// drive that maps "/", for one).
std::string Identity(const std::string& folder) {
  std::error_code error;
  const fs::path canonical = fs::canonical(folder, error);
  return error ? folder : canonical.string();
}

}  // namespace

std::vector<std::string> ProbeRoots() {
  std::vector<std::string> roots;
#ifdef _WIN32
  for (char letter = 'C'; letter <= 'Z'; ++letter) roots.push_back(std::string(1, letter) + ":\\");
#else
  roots = WineDrives();
  roots.push_back("/");
  AddMountPoints("/mnt/", false, roots);
  AddMountPoints("/media/", true, roots);
#endif
  return roots;
}

std::vector<std::string> FindHostCandidates(const std::vector<std::string>& roots) {
  std::vector<std::string> candidates;
  std::set<std::string> seen;
  for (const std::string& given_root : roots) {
    const std::string root = WithSeparator(given_root);
    const std::vector<std::string> entries = SortedEntries(root, true);
    for (std::string_view wanted : kHostFolderNames) {
      for (const std::string& name : entries) {
        const std::string candidate = root + name;
        if (EqualsIgnoreCase(name, wanted) && DirExists(WithSeparator(candidate)) &&
            seen.insert(Identity(candidate)).second) {
          candidates.push_back(candidate);
        }
      }
    }
  }
  return candidates;
}

}  // namespace vatrix
