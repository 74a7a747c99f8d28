// Finding the accounting package's installation folders.
#ifndef VATRIX_APP_HOST_PROBE_H_
#define VATRIX_APP_HOST_PROBE_H_

#include <string>
#include <vector>

namespace vatrix {

// The roots that stand for drives C: to Z:, in probing order. On Windows "C:\" .. "Z:\";
// elsewhere the drives of the user's Wine prefix (~/.wine/dosdevices/c: .. z:) when there is
// one, then "/", then the mount points under /mnt and /media. Each ends in a separator.
std::vector<std::string> ProbeRoots();

// The installation candidates under `roots`: for each root in order and each folder name in
// the order "Ordova", "Ordovanet", "Ordhx", "Ordhxnet", root + name (no trailing separator)
// when that folder exists and can be listed. Names match regardless of case; the
// candidate carries the folder's own spelling.
std::vector<std::string> FindHostCandidates(const std::vector<std::string>& roots);

}  // namespace vatrix

#endif  // VATRIX_APP_HOST_PROBE_H_
