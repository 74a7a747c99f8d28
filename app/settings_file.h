// The settings file Vatrix.ini beside the program, read the way the platform reads INI files.
#ifndef VATRIX_APP_SETTINGS_FILE_H_
#define VATRIX_APP_SETTINGS_FILE_H_

#include <string>

namespace vatrix {

// The value of `key` in `section` of the INI file at `path`: section and key names match
// without case, the value is trimmed of blanks and of one pair of enclosing quotes, and cut to
// 99 characters. A missing file, section or key reads as the empty text. Never throws.
std::string GetINI(const std::string& path, const std::string& section, const std::string& key);

// Why the file at `path` cannot be read as a settings file: it is not a regular file (a
// device, a pipe, a folder) or is larger than any settings file (1 MiB). "" when it can be,
// or does not exist (it then reads as empty).
std::string SettingsFileProblem(const std::string& path);

}  // namespace vatrix

#endif  // VATRIX_APP_SETTINGS_FILE_H_
