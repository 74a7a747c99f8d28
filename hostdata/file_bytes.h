// Whole files read into memory in one go.
#ifndef VATRIX_HOSTDATA_FILE_BYTES_H_
#define VATRIX_HOSTDATA_FILE_BYTES_H_

#include <optional>
#include <string>

namespace vatrix {

// The bytes of the regular file at `path`, as many as it holds when read; nullopt when it
// cannot be opened or read (a folder, a missing file, a read error).
std::optional<std::string> ReadFileBytes(const std::string& path);

}  // namespace vatrix

#endif  // VATRIX_HOSTDATA_FILE_BYTES_H_
