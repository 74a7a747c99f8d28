// Writes one dBase IV table file (.dbf) record by record with shapelib. The bytes depend only
// on the columns and the values: every header carries the same last-update date, text is
// stored in cp1252 and the file ends with one end-of-file mark (0x1A).
#ifndef VATRIX_TOOLS_DBF_WRITER_H_
#define VATRIX_TOOLS_DBF_WRITER_H_

#include <shapefil.h>

#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace vatrix::dbf {

struct Column {
  const char* name;
  char type;  // 'C', 'N', 'D' or 'L'
  int width;
  int decimals;
};

struct Day {
  int year = 0;
  int month = 0;
  int day = 0;
};

// One field value; made by the functions below.
struct Cell {
  enum class Kind { kNull, kSpaces, kText, kNumber, kDate, kLogical };
  Kind kind = Kind::kNull;
  std::string text;
  double number = 0;
  Day date;
  bool flag = false;
};

// shapelib's null form: "*" over a number field, "00000000" in a date field.
Cell Null();
// Blanks over the whole field, the form dBase itself writes for an empty value.
Cell Spaces();
// UTF-8 text, stored in cp1252 and padded with blanks.
Cell Text(std::string_view utf8);
Cell Number(double number);
// Stored as "YYYYMMDD".
Cell Date(const Day& day);
// Stored as 'T' or 'F'.
Cell Logical(bool flag);

// kWindowsAnsi marks the file with language driver 0x57 (cp1252); kNone names no code page.
enum class CodePage { kWindowsAnsi, kNone };

class Writer {
 public:
  // Creates the table `file_name` in `folder` with `columns`, replacing a file of that name.
  // Throws std::runtime_error naming the path.
  Writer(const std::filesystem::path& folder, const std::string& file_name,
         std::vector<Column> columns, CodePage code_page);
  Writer(const Writer&) = delete;
  Writer& operator=(const Writer&) = delete;

  // Appends one record, marked deleted when `deleted`; `cells` hold one value per column, in
  // column order. Throws std::runtime_error naming the path and the field when a value does
  // not fit its field (text without a cp1252 form or longer than the field, a number too wide).
  void Add(const std::vector<Cell>& cells, bool deleted = false);

  // Stamps the fixed update date, closes the file and appends the end-of-file mark. Until
  // then the file may lie under another spelling of its name. Throws std::runtime_error.
  void Finish();

 private:
  void WriteCell(int field, const Cell& cell);
  void AppendEndOfFile();
  [[noreturn]] void Fail(const std::string& what) const;

  std::filesystem::path folder_;
  std::string file_name_;
  std::vector<Column> columns_;
  std::filesystem::path created_;  // the spelling shapelib gives the file: "<stem>.dbf"
  std::unique_ptr<DBFInfo, decltype(&DBFClose)> handle_{nullptr, &DBFClose};
  int records_ = 0;
};

}  // namespace vatrix::dbf

#endif  // VATRIX_TOOLS_DBF_WRITER_H_
