// A connection on one company's (or the catalogue's) data folder, answering query texts in
// the provider's dialect over the dBase tables of that folder.
#ifndef VATRIX_HOSTDATA_CONNECTION_H_
#define VATRIX_HOSTDATA_CONNECTION_H_

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "hostdata/record_set.h"

namespace vatrix {

class FolderDatabase;

class Connection {
 public:
  Connection();
  ~Connection();
  Connection(Connection&&) noexcept;
  Connection& operator=(Connection&&) noexcept;

  // Opens on the folder named by the "Data Source=" item of a provider connection text
  // (backslashes read as folder separators). Throws HostError kTableUnavailable when the
  // text names no folder or the folder does not exist.
  void Open(std::string_view connection_text);
  // Opens on `folder` directly.
  void OpenFolder(const std::string& folder);
  void Close();
  bool is_open() const { return database_ != nullptr; }
  const std::string& folder() const { return folder_; }

  // Runs one query text and returns all its rows. Tables are loaded on first use and cached
  // across connections while their files are unchanged. Throws HostError: kTableUnavailable
  // for a table file that is missing or cannot be read, kCorruptTable for a damaged one,
  // kQueryRejected / kUnknownName for a query the engine cannot run; the source names the
  // query (and the file, for table faults). A query that reads a field whose values cannot
  // be read (a type not read, a memo file missing or damaged) fails with kCorruptTable
  // naming the table file, the memo file and the field; one that does not read it runs.
  RecordSet Execute(std::string_view query) const;

  // Loads, ahead of a run, the tables its query texts read, each table file read once and
  // with just the columns the texts read, so that running them reads no file again. A text
  // that cannot be translated or run is passed over: running it reports its fault.
  void Preload(const std::vector<std::string>& queries) const;

 private:
  std::string folder_;
  std::shared_ptr<FolderDatabase> database_;
};

// The data folder of company `company_code` in the installation `host_folder`. Opened with
// OpenFolder, it works for any folder name the file system allows (';' and '\\' included),
// which a connection text cannot carry.
std::string CompanyFolder(const std::string& host_folder, const std::string& company_code);

}  // namespace vatrix

#endif  // VATRIX_HOSTDATA_CONNECTION_H_
