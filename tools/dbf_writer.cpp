#include "tools/dbf_writer.h"

#include <array>
#include <cstdio>
#include <fstream>
#include <optional>
#include <stdexcept>
#include <system_error>
#include <utility>

namespace vatrix::dbf {
namespace {

namespace fs = std::filesystem;

// The last-update date stored in every header, so that runs on different days are identical.
constexpr int kUpdateYearSince1900 = 116;
constexpr int kUpdateMonth = 3;
constexpr int kUpdateDay = 31;

Cell WithKind(Cell::Kind kind) {
  Cell cell;
  cell.kind = kind;
  return cell;
}

int Cp1252Byte(char32_t code) {
  static constexpr std::array<char32_t, 32> kHigh = {
      0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
      0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
      0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};
  if (code < 0x80 || (code >= 0xA0 && code <= 0xFF)) return static_cast<int>(code);
  for (int i = 0; i < 32; ++i) {
    if (kHigh[i] == code && code != 0) return 0x80 + i;
  }
  return -1;
}

// `utf8` in cp1252; nullopt when it is not UTF-8 or has no cp1252 form.
std::optional<std::string> ToCp1252(std::string_view utf8) {
  std::string out;
  for (size_t i = 0; i < utf8.size();) {
    unsigned char lead = static_cast<unsigned char>(utf8[i]);
    int extra = lead < 0x80 ? 0 : lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC0 ? 1 : -1;
    if (extra < 0 || i + extra >= utf8.size()) return std::nullopt;
    char32_t code = extra == 0 ? lead : lead & (0x3F >> extra);
    for (int k = 1; k <= extra; ++k) {
      if ((utf8[i + k] & 0xC0) != 0x80) return std::nullopt;
      code = (code << 6) | (utf8[i + k] & 0x3F);
    }
    int byte = Cp1252Byte(code);
    if (byte < 0) return std::nullopt;
    out += static_cast<char>(byte);
    i += 1 + extra;
  }
  return out;
}

std::string DateText(const Day& day) {
  char text[16];
  std::snprintf(text, sizeof text, "%04d%02d%02d", day.year, day.month, day.day);
  return text;
}

// shapelib seeks before every record it writes, which empties the stdio buffer each time;
// skipping the seek when the file is already at that position keeps the appends buffered.
SAOffset SeekUnlessThere(SAFile file, SAOffset offset, int whence) {
  std::FILE* stream = reinterpret_cast<std::FILE*>(file);
  if (whence == SEEK_SET && static_cast<SAOffset>(std::ftell(stream)) == offset) return 0;
  return std::fseek(stream, static_cast<long>(offset), whence);
}

SAHooks BufferedHooks() {
  SAHooks hooks;
  SASetupDefaultHooks(&hooks);
  hooks.FSeek = SeekUnlessThere;
  return hooks;
}

}  // namespace

Cell Null() { return Cell{}; }

Cell Spaces() { return WithKind(Cell::Kind::kSpaces); }

Cell Text(std::string_view utf8) {
  Cell cell = WithKind(Cell::Kind::kText);
  cell.text = utf8;
  return cell;
}

Cell Number(double number) {
  Cell cell = WithKind(Cell::Kind::kNumber);
  cell.number = number;
  return cell;
}

Cell Date(const Day& day) {
  Cell cell = WithKind(Cell::Kind::kDate);
  cell.date = day;
  return cell;
}

Cell Logical(bool flag) {
  Cell cell = WithKind(Cell::Kind::kLogical);
  cell.flag = flag;
  return cell;
}

Writer::Writer(const fs::path& folder, const std::string& file_name, std::vector<Column> columns,
               CodePage code_page)
    : folder_(folder), file_name_(file_name), columns_(std::move(columns)) {
  std::string stem = fs::path(file_name).stem().string();
  created_ = folder / (stem + ".dbf");
  std::string base = (folder / stem).string();
  SAHooks hooks = BufferedHooks();
  handle_.reset(
      DBFCreateLL(base.c_str(), code_page == CodePage::kWindowsAnsi ? "LDID/87" : nullptr, &hooks));
  if (handle_ == nullptr) Fail("cannot create the table file");
  // Written once by Finish: after every record it would move the file position back and forth.
  DBFSetWriteEndOfFileChar(handle_.get(), 0);
  for (const Column& column : columns_) {
    if (DBFAddNativeFieldType(handle_.get(), column.name, column.type, column.width,
                              column.decimals) < 0) {
      Fail(std::string("cannot add field ") + column.name);
    }
  }
}

void Writer::Add(const std::vector<Cell>& cells, bool deleted) {
  if (cells.size() != columns_.size()) Fail("record with a wrong number of values");
  for (size_t i = 0; i < cells.size(); ++i) WriteCell(static_cast<int>(i), cells[i]);
  if (deleted && !DBFMarkRecordDeleted(handle_.get(), records_, 1)) {
    Fail("cannot mark record " + std::to_string(records_) + " deleted");
  }
  ++records_;
}

void Writer::Finish() {
  DBFSetLastModifiedDate(handle_.get(), kUpdateYearSince1900, kUpdateMonth, kUpdateDay);
  DBFClose(handle_.release());
  AppendEndOfFile();
  fs::path final_path = folder_ / file_name_;
  std::error_code error;
  if (final_path != created_) fs::rename(created_, final_path, error);
  if (error) Fail("cannot rename " + created_.string() + ": " + error.message());
}

void Writer::AppendEndOfFile() {
  std::ofstream file(created_, std::ios::binary | std::ios::app);
  file.put('\x1A');
  file.close();
  if (!file) Fail("cannot write the end-of-file mark");
}

void Writer::WriteCell(int field, const Cell& cell) {
  const Column& column = columns_[field];
  DBFHandle handle = handle_.get();
  int ok = 0;
  switch (cell.kind) {
    case Cell::Kind::kNull:
      ok = DBFWriteNULLAttribute(handle, records_, field);
      break;
    case Cell::Kind::kSpaces: {
      std::string spaces(column.width, ' ');
      ok = DBFWriteAttributeDirectly(handle, records_, field, spaces.data());
      break;
    }
    case Cell::Kind::kText: {
      std::optional<std::string> bytes = ToCp1252(cell.text);
      if (!bytes) Fail("value \"" + cell.text + "\" has no cp1252 form");
      if (static_cast<int>(bytes->size()) > column.width) {
        Fail("value \"" + cell.text + "\" is longer than field " + column.name);
      }
      ok = DBFWriteStringAttribute(handle, records_, field, bytes->c_str());
      break;
    }
    case Cell::Kind::kNumber:
      ok = DBFWriteDoubleAttribute(handle, records_, field, cell.number);
      break;
    case Cell::Kind::kDate: {
      // shapelib formats 'D' values given as text like numbers: store the bytes as they are.
      std::string text = DateText(cell.date);
      ok = DBFWriteAttributeDirectly(handle, records_, field, text.data());
      break;
    }
    case Cell::Kind::kLogical:
      ok = DBFWriteLogicalAttribute(handle, records_, field, cell.flag ? 'T' : 'F');
      break;
  }
  if (!ok) {
    Fail(std::string("cannot write field ") + column.name + " of record " +
         std::to_string(records_));
  }
}

void Writer::Fail(const std::string& what) const {
  throw std::runtime_error((folder_ / file_name_).string() + ": " + what);
}

}  // namespace vatrix::dbf
