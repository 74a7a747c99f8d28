// File and folder names as the program finds them: the path separator, and files whose names
// were copied from another system in another letter case.
#ifndef VATRIX_HOSTDATA_FILE_NAMES_H_
#define VATRIX_HOSTDATA_FILE_NAMES_H_

#include <optional>
#include <string>
#include <vector>

namespace vatrix {

// The platform's path separator: '\\' on Windows, '/' elsewhere.
char PathSeparator();

// `folder` with one path separator at its end.
std::string WithSeparator(const std::string& folder);

// The path of the regular file called `name` in `folder`, the letter case of the name ignored:
// the exact spelling when there is such a file, else the first match in name order, so the
// choice is stable. nullopt when there is none, or when `name` is empty or holds a separator
// or a NUL.
std::optional<std::string> FindFileIgnoringCase(const std::string& folder, const std::string& name);

// The paths of every regular file called `name` in `folder`, letter case ignored, in name
// order; empty under the same conditions as FindFileIgnoringCase finds none.
std::vector<std::string> FilesIgnoringCase(const std::string& folder, const std::string& name);

}  // namespace vatrix

#endif  // VATRIX_HOSTDATA_FILE_NAMES_H_
