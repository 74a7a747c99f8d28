// The failure every data-access call raises: a provider-style number, a description and a
// source that says where it happened (file, table or query).
#ifndef VATRIX_HOSTDATA_HOST_ERROR_H_
#define VATRIX_HOSTDATA_HOST_ERROR_H_

#include <stdexcept>
#include <string>

namespace vatrix {

// A table file that is missing, locked or cannot be opened for reading. The failure report
// treats this number specially: the program cannot go on without its tables.
inline constexpr long kTableUnavailable = -2147467259;  // 0x80004005
// A query text that the dialect translator or the SQL engine rejects.
inline constexpr long kQueryRejected = -2147217900;  // 0x80040E14
// A query that names a column or function the tables do not have.
inline constexpr long kUnknownName = -2147217904;  // 0x80040E10
// A table file whose contents are not a valid dBase table (bad header, truncated, a value
// that does not fit its field's type).
inline constexpr long kCorruptTable = -2147217913;  // 0x80040E07
// A record-set operation used wrongly (reading past the end, an unknown field name).
inline constexpr long kRecordSetMisuse = -2147217887;  // 0x80040E21

class HostError : public std::runtime_error {
 public:
  HostError(long number, std::string description, std::string source)
      : std::runtime_error(description),
        number_(number),
        description_(std::move(description)),
        source_(std::move(source)) {}

  long number() const { return number_; }
  const std::string& description() const { return description_; }
  const std::string& source() const { return source_; }

 private:
  long number_;
  std::string description_;
  std::string source_;
};

}  // namespace vatrix

#endif  // VATRIX_HOSTDATA_HOST_ERROR_H_
