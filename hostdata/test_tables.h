// Test support: dBase table files written byte by byte, so tests control every detail
// (field types, deleted flags, code page, damaged headers).
#ifndef VATRIX_HOSTDATA_TEST_TABLES_H_
#define VATRIX_HOSTDATA_TEST_TABLES_H_

#include <string>
#include <vector>

namespace vatrix::testing {

struct TestField {
  std::string name;
  char type = 'C';
  int width = 10;
  int decimals = 0;
};

struct TestTable {
  std::vector<TestField> fields;
  // Raw field texts (bytes as stored); character fields are padded right, others left.
  std::vector<std::vector<std::string>> rows;
  std::vector<int> deleted;              // indices of rows marked deleted
  unsigned char language_driver = 0x57;  // Windows ANSI
};

// The complete bytes of a dBase IV file holding `table`.
std::string DbfBytes(const TestTable& table);

// Writes `bytes` to `path`, replacing it.
void WriteFile(const std::string& path, const std::string& bytes);

// A fresh empty folder under the system's temp folder.
std::string MakeTempFolder();

}  // namespace vatrix::testing

#endif  // VATRIX_HOSTDATA_TEST_TABLES_H_
