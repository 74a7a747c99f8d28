// Feeds arbitrary bytes as a settings file: any value may come back, but never more than 99
// characters, and never a crash, a hang or a sanitizer report.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "app/settings_file.h"

namespace {

const std::string& SettingsPath() {
  static const std::string path = "/tmp/vatrix-ini-fuzz-" + std::to_string(getpid()) + ".ini";
  return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  {
    std::ofstream file(SettingsPath(), std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  }
  for (const char* key : {"Tax Selection", "", "x"}) {
    if (vatrix::GetINI(SettingsPath(), "Settings", key).size() > 99) std::abort();
  }
  std::remove(SettingsPath().c_str());
  return 0;
}
