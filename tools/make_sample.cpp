// make_sample --out DIR [--large-bills N]
//
// Writes the sample installation into DIR. The installation is first written to a sibling
// folder and renamed into place at the end, so an interrupted run never leaves a half-written
// DIR. An existing DIR is replaced only when it is empty or holds the marker file of an
// earlier run.
#include <unistd.h>

#include <cstdio>
#include <exception>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <system_error>

#include "tools/sample_installation.h"

namespace {

namespace fs = std::filesystem;

struct Arguments {
  std::string out;
  int large_bills = 0;
};

void PrintUsage() {
  std::cerr << "usage: make_sample --out DIR [--large-bills N]\n"
               "  --out DIR          folder of the sample installation; an existing DIR is\n"
               "                     replaced only when empty or written by make_sample\n"
               "  --large-bills N    also write the large company 1234 with N bills (N >= 0)\n";
}

std::optional<int> ParseCount(std::string_view text) {
  if (text.empty() || text.size() > 9) return std::nullopt;
  int value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
  }
  return value;
}

std::optional<Arguments> ParseArguments(int argc, char** argv) {
  Arguments arguments;
  for (int i = 1; i < argc; ++i) {
    std::string_view flag = argv[i];
    if (i + 1 >= argc) return std::nullopt;
    std::string_view value = argv[++i];
    if (flag == "--out" && !value.empty()) {
      arguments.out = value;
    } else if (flag == "--large-bills" && ParseCount(value)) {
      arguments.large_bills = *ParseCount(value);
    } else {
      return std::nullopt;
    }
  }
  if (arguments.out.empty()) return std::nullopt;
  return arguments;
}

bool IsEmptyFolder(const fs::path& folder) {
  std::error_code error;
  return fs::is_directory(folder, error) && fs::is_empty(folder, error) && !error;
}

// Throws unless `folder` is absent, an empty folder (the build creates the output folder
// beforehand) or a sample installation written by this tool.
void CheckReplaceable(const fs::path& folder) {
  std::error_code error;
  fs::file_status status = fs::symlink_status(folder, error);
  if (!fs::exists(status)) return;
  if (fs::is_symlink(status) ||
      !(vatrix::IsGeneratedSample(folder.string()) || IsEmptyFolder(folder))) {
    throw std::runtime_error(folder.string() +
                             " exists and is not a sample installation written by make_sample; "
                             "not replacing it");
  }
}

// Removes `folder` when it exists; refuses unless it is a sample written by this tool.
void RemoveSample(const fs::path& folder) {
  CheckReplaceable(folder);
  fs::remove_all(folder);
}

// Moves the finished `staging` folder to `target`, replacing an earlier sample there.
void PutInPlace(const fs::path& staging, const fs::path& target) {
  fs::path previous = target;
  previous += ".previous-" + std::to_string(getpid());
  RemoveSample(previous);
  CheckReplaceable(target);  // again: the folder may have changed during the run
  bool replacing = fs::exists(fs::symlink_status(target));
  if (replacing) fs::rename(target, previous);
  try {
    fs::rename(staging, target);
  } catch (...) {
    if (replacing) fs::rename(previous, target);
    throw;
  }
  if (replacing) fs::remove_all(previous);
}

void Run(const Arguments& arguments) {
  fs::path target = fs::absolute(fs::path(arguments.out)).lexically_normal();
  if (!target.has_filename()) target = target.parent_path();
  CheckReplaceable(target);
  fs::path staging = target;
  staging += ".partial-" + std::to_string(getpid());
  RemoveSample(staging);
  fs::create_directories(staging);
  try {
    vatrix::MarkGeneratedSample(staging.string());
    vatrix::SampleOptions options;
    options.large_bills = arguments.large_bills;
    options.progress = [](const std::string& line) {
      std::cerr << "make_sample: " << line << "\n";
    };
    vatrix::WriteSampleInstallation(staging.string(), options);
    PutInPlace(staging, target);
    std::cerr << "make_sample: wrote " << target.string() << "\n";
  } catch (...) {
    std::error_code ignored;
    fs::remove_all(staging, ignored);
    throw;
  }
}

}  // namespace

int main(int argc, char** argv) {
  std::optional<Arguments> arguments = ParseArguments(argc, argv);
  if (!arguments) {
    PrintUsage();
    return 2;
  }
  try {
    Run(*arguments);
  } catch (const std::exception& error) {
    std::cerr << "make_sample: " << error.what() << "\n";
    return 1;
  }
  return 0;
}
