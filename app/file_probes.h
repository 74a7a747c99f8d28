// File and folder probes. None of them throws: a failure is an answer of false.
#ifndef VATRIX_APP_FILE_PROBES_H_
#define VATRIX_APP_FILE_PROBES_H_

#include <string>

namespace vatrix {

// True when `path` (ending in a separator) is a folder that exists and can be listed.
bool DirExists(const std::string& path);
// True when the file at `path` can be opened for reading.
bool FileExists(const std::string& path);
// True when a directory listing of `path` finds an ordinary file of that name. The name part
// matches regardless of case, as table and template files copied from another system keep
// their own case.
bool isFileExist(const std::string& path);

}  // namespace vatrix

#endif  // VATRIX_APP_FILE_PROBES_H_
