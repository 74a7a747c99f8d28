// Publishing an output file: written under a temporary name in the output folder and given its
// name only when complete, never in place of a file that exists.
#ifndef VATRIX_WORKBOOK_ATOMIC_OUTPUT_H_
#define VATRIX_WORKBOOK_ATOMIC_OUTPUT_H_

#include <string>
#include <string_view>

namespace vatrix {

// Writes `bytes` as a new file at `path`. The file appears complete or not at all; an existing
// file is never replaced and no temporary file is left behind. Throws HostError
// (kSpreadsheetError, source `path`) saying why when it cannot.
void WriteNewFile(const std::string& path, std::string_view bytes);

// The same with the contents of the file at `source`.
void CopyToNewFile(const std::string& source, const std::string& path);

// The hidden name (a mkstemp pattern) the file for `path` is written under where the file
// system has no unnamed files: in the output's own folder, as the unnamed file is, so that
// naming the finished file never crosses file systems. It names this process, so that a later
// run removes it when a kill left it behind.
std::string TemporaryNameFor(const std::string& path);

}  // namespace vatrix

#endif  // VATRIX_WORKBOOK_ATOMIC_OUTPUT_H_
