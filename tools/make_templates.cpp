// make_templates --source DIR --out DIR [--soffice PROGRAM]
//
// Writes the sample department templates described by the *.tpl files of the source folder
// into the output folder (the build's Master folder). Every template is first written as a
// flat ODF spreadsheet into a staging folder beside the output; one headless office run then
// converts them all to .xls. Only when every file converted are they moved into the output
// folder, and the manifest .vatrix-templates (the build's stamp) is written last. A file of
// the output folder that this tool did not write, or that was changed since, is never
// replaced or removed: the user's own templates win.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <exception>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <system_error>
#include <thread>
#include <vector>

#include "tools/template_source.h"

namespace {

namespace fs = std::filesystem;

constexpr const char* kManifestName = ".vatrix-templates";
constexpr int kConversionTimeoutSeconds = 900;

struct Arguments {
  std::string source;
  std::string out;
  std::string soffice = "soffice";
};

void PrintUsage() {
  std::cerr << "usage: make_templates --source DIR --out DIR [--soffice PROGRAM]\n"
               "  --source DIR        folder of the template sources (*.tpl)\n"
               "  --out DIR           folder that receives the .xls templates\n"
               "  --soffice PROGRAM   the office program that converts them (default soffice)\n";
}

std::optional<Arguments> ParseArguments(int argc, char** argv) {
  Arguments arguments;
  for (int i = 1; i + 1 < argc; i += 2) {
    std::string_view flag = argv[i];
    std::string value = argv[i + 1];
    if (value.empty()) return std::nullopt;
    if (flag == "--source") {
      arguments.source = value;
    } else if (flag == "--out") {
      arguments.out = value;
    } else if (flag == "--soffice") {
      arguments.soffice = value;
    } else {
      return std::nullopt;
    }
  }
  if (argc % 2 == 0 || arguments.source.empty() || arguments.out.empty()) return std::nullopt;
  return arguments;
}

void Progress(const std::string& line) { std::cerr << "make_templates: " << line << "\n"; }

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error(path.string() + ": cannot read");
  std::ostringstream text;
  text << in.rdbuf();
  if (in.bad()) throw std::runtime_error(path.string() + ": read failed");
  return text.str();
}

void WriteFile(const fs::path& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << text;
  out.close();
  if (!out) throw std::runtime_error(path.string() + ": cannot write");
}

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

// Every template of the *.tpl files of `folder`, in file-name order; names are unique.
std::vector<vatrix::TemplateSource> ReadSources(const fs::path& folder) {
  std::vector<fs::path> files;
  for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
    if (entry.is_regular_file() && entry.path().extension() == ".tpl")
      files.push_back(entry.path());
  }
  std::sort(files.begin(), files.end());
  if (files.empty()) throw std::runtime_error(folder.string() + ": no template sources (*.tpl)");
  std::vector<vatrix::TemplateSource> all;
  std::map<std::string, std::string> origin;  // lower-case name -> source file
  for (const fs::path& file : files) {
    for (vatrix::TemplateSource& source :
         vatrix::ParseTemplateSource(ReadFile(file), file.string())) {
      auto [at, fresh] = origin.emplace(Lower(source.file_name), file.string());
      if (!fresh) {
        throw std::runtime_error(file.string() + ": template " + source.file_name +
                                 " is also defined in " + at->second);
      }
      all.push_back(std::move(source));
    }
  }
  return all;
}

std::string BaseName(const std::string& file_name) {
  return file_name.substr(0, file_name.size() - 4);  // without ".xls"
}

std::string Tail(const fs::path& log) {
  std::error_code error;
  if (!fs::is_regular_file(log, error)) return "";
  std::string text = ReadFile(log);
  return text.size() > 2000 ? text.substr(text.size() - 2000) : text;
}

// Runs `args` with output to `log`; returns the exit status, or throws on timeout.
int RunProgram(const std::vector<std::string>& args, const fs::path& log) {
  std::vector<char*> argv;
  for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
  argv.push_back(nullptr);
  pid_t pid = fork();
  if (pid < 0)
    throw std::runtime_error(std::string("cannot start ") + args[0] + ": " + std::strerror(errno));
  if (pid == 0) {
    setpgid(0, 0);
    FILE* out = std::freopen(log.c_str(), "w", stdout);
    if (out != nullptr) dup2(fileno(stdout), fileno(stderr));
    execvp(argv[0], argv.data());
    std::fprintf(stderr, "cannot run %s: %s\n", argv[0], std::strerror(errno));
    _exit(127);
  }
  auto deadline =
      std::chrono::steady_clock::now() + std::chrono::seconds(kConversionTimeoutSeconds);
  for (;;) {
    int status = 0;
    pid_t done = waitpid(pid, &status, WNOHANG);
    if (done == pid) return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    if (done < 0 && errno != EINTR) throw std::runtime_error("lost the office process");
    if (std::chrono::steady_clock::now() > deadline) {
      kill(-pid, SIGKILL);
      waitpid(pid, &status, 0);
      throw std::runtime_error(args[0] + " did not finish within " +
                               std::to_string(kConversionTimeoutSeconds) + " s; stopped it");
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
}

// The file URL of `path` (absolute), with the characters outside a plain path percent-encoded.
std::string FileUrl(const fs::path& path) {
  std::string url = "file://";
  for (unsigned char c : path.string()) {
    if (std::isalnum(c) || std::strchr("/-._~", c) != nullptr) {
      url += static_cast<char>(c);
    } else {
      char escaped[4];
      std::snprintf(escaped, sizeof escaped, "%%%02X", c);
      url += escaped;
    }
  }
  return url;
}

bool IsWorkbook(const fs::path& path) {
  static const unsigned char kCompoundFile[8] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
  std::ifstream in(path, std::ios::binary);
  char head[8] = {};
  return in.read(head, 8) && std::memcmp(head, kCompoundFile, 8) == 0;
}

// Converts every .fods of `fods` into an .xls in `xls` with one office run.
void Convert(const std::vector<vatrix::TemplateSource>& templates, const fs::path& staging,
             const std::string& soffice) {
  fs::path fods = staging / "fods";
  fs::path xls = staging / "xls";
  fs::create_directories(xls);
  std::vector<std::string> args = {soffice,
                                   "--headless",
                                   "--norestore",
                                   "--nolockcheck",
                                   "-env:UserInstallation=" + FileUrl(staging / "profile"),
                                   "--convert-to",
                                   "xls:MS Excel 97",
                                   "--outdir",
                                   xls.string()};
  for (const vatrix::TemplateSource& source : templates) {
    args.push_back((fods / (BaseName(source.file_name) + ".fods")).string());
  }
  fs::path log = staging / "soffice.log";
  auto start = std::chrono::steady_clock::now();
  int status = RunProgram(args, log);
  double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  for (const vatrix::TemplateSource& source : templates) {
    fs::path result = xls / source.file_name;
    if (status != 0 || !IsWorkbook(result)) {
      throw std::runtime_error(soffice + " (exit status " + std::to_string(status) +
                               ") did not convert " + source.file_name +
                               " (is libreoffice-calc-nogui installed? scripts/bootstrap installs "
                               "it); its output:\n" +
                               Tail(log));
    }
  }
  char elapsed[32];
  std::snprintf(elapsed, sizeof elapsed, "%.1f", seconds);
  Progress("converted " + std::to_string(templates.size()) + " templates in " + elapsed + " s");
}

std::string Hash(const fs::path& path) {
  std::uint64_t hash = 14695981039346656037ull;  // FNV-1a
  for (unsigned char c : ReadFile(path)) hash = (hash ^ c) * 1099511628211ull;
  char text[17];
  std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(hash));
  return text;
}

// name -> hash of the files that the previous run wrote into `out`.
std::map<std::string, std::string> ReadManifest(const fs::path& out) {
  std::map<std::string, std::string> written;
  std::error_code error;
  if (!fs::is_regular_file(out / kManifestName, error)) return written;
  std::istringstream lines(ReadFile(out / kManifestName));
  std::string line;
  while (std::getline(lines, line)) {
    if (line.size() > 17 && line[16] == ' ') written[line.substr(17)] = line.substr(0, 16);
  }
  return written;
}

// True when `path` is absent or holds exactly what this tool wrote there before.
bool IsReplaceable(const fs::path& path, const std::map<std::string, std::string>& written) {
  std::error_code error;
  fs::file_status status = fs::symlink_status(path, error);
  if (!fs::exists(status)) return true;
  auto found = written.find(path.filename().string());
  return fs::is_regular_file(status) && found != written.end() && found->second == Hash(path);
}

// Moves the converted files into `out`, removes the ones an earlier run wrote and this run
// no longer makes, and writes the manifest.
void PutInPlace(const std::vector<vatrix::TemplateSource>& templates, const fs::path& xls,
                const fs::path& out) {
  std::map<std::string, std::string> previous = ReadManifest(out);
  std::string manifest;
  int kept = 0;
  for (const vatrix::TemplateSource& source : templates) {
    fs::path target = out / source.file_name;
    if (!IsReplaceable(target, previous)) {
      Progress("keeping " + target.string() + ": not written by make_templates");
      ++kept;
      continue;
    }
    std::string hash = Hash(xls / source.file_name);
    fs::rename(xls / source.file_name, target);
    manifest += hash + " " + source.file_name + "\n";
    previous.erase(source.file_name);
  }
  for (const auto& [name, hash] : previous) {
    if (IsReplaceable(out / name, previous)) fs::remove(out / name);
  }
  WriteFile(out / (std::string(kManifestName) + ".new"), manifest);
  fs::rename(out / (std::string(kManifestName) + ".new"), out / kManifestName);
  Progress("wrote " + std::to_string(templates.size() - kept) + " templates into " + out.string());
}

void Run(const Arguments& arguments) {
  std::vector<vatrix::TemplateSource> templates = ReadSources(arguments.source);
  fs::path out = fs::absolute(fs::path(arguments.out)).lexically_normal();
  if (!out.has_filename()) out = out.parent_path();
  fs::create_directories(out);
  fs::path staging = out;
  staging += ".partial-" + std::to_string(getpid());
  fs::remove_all(staging);
  try {
    fs::create_directories(staging / "fods");
    Progress("writing " + std::to_string(templates.size()) + " templates");
    for (const vatrix::TemplateSource& source : templates) {
      WriteFile(staging / "fods" / (BaseName(source.file_name) + ".fods"),
                vatrix::RenderFlatOds(source));
    }
    Progress("converting them with " + arguments.soffice + " (about half a minute)");
    Convert(templates, staging, arguments.soffice);
    PutInPlace(templates, staging / "xls", out);
  } catch (...) {
    std::error_code ignored;
    fs::remove_all(staging, ignored);
    throw;
  }
  fs::remove_all(staging);
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
    std::cerr << "make_templates: " << error.what() << "\n";
    return 1;
  }
  return 0;
}
