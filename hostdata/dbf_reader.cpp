#include "hostdata/dbf_reader.h"

#include <algorithm>
#include <bit>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "hostdata/code_page.h"
#include "hostdata/file_names.h"
#include "hostdata/host_error.h"
#include "hostdata/memo_file.h"
#include "hostdata/text.h"

namespace vatrix {

namespace {

constexpr size_t kHeaderSize = 32;
constexpr unsigned char kHeaderTerminator = 0x0D;
constexpr char kDeletedFlag = '*';
constexpr unsigned char kNullableFlag = 0x02;  // FoxPro field flags
constexpr unsigned char kBinaryFlag = 0x04;
constexpr char kNullFlagsType = '0';  // FoxPro's hidden field of null and varchar bits

std::uint64_t ReadLittleEndian(std::string_view bytes, size_t pos, int size) {
  std::uint64_t value = 0;
  for (int i = size - 1; i >= 0; --i) {
    value = (value << 8) | static_cast<unsigned char>(bytes[pos + i]);
  }
  return value;
}

std::uint64_t ReadBigEndian(std::string_view bytes, size_t pos, int size) {
  std::uint64_t value = 0;
  for (int i = 0; i < size; ++i) value = (value << 8) | static_cast<unsigned char>(bytes[pos + i]);
  return value;
}

std::string Source(const std::string& path) { return "table file " + path; }

[[noreturn]] void Corrupt(const std::string& path, const std::string& what) {
  throw HostError(kCorruptTable, "The table file is damaged: " + what, Source(path));
}

// Whose conventions a header follows, as its version byte tells: where the field descriptors
// lie, what the flags byte and some type letters mean.
enum class Dialect { kDbase, kFoxPro, kVisualFoxPro, kDbase7 };

Dialect DialectOf(unsigned char version) {
  switch (version) {
    case 0x30:
    case 0x31:
    case 0x32:
      return Dialect::kVisualFoxPro;
    case 0xF5:
    case 0xFB:
      return Dialect::kFoxPro;
    case 0x04:
    case 0x8C:
      return Dialect::kDbase7;
    default:
      return Dialect::kDbase;
  }
}

// The memo file format a table of `version` names: FoxPro's for FoxPro 2 and Visual FoxPro
// tables; dBase III's for dBase III and FoxBASE tables (0x83 with memo, 0x02, 0x03 and 0xFB
// without); dBase IV's for the later ones.
MemoFormat MemoFormatOf(unsigned char version, Dialect dialect) {
  if (dialect == Dialect::kVisualFoxPro || version == 0xF5) return MemoFormat::kFoxPro;
  const bool dbase3 = version == 0x83 || version == 0x02 || version == 0x03 || version == 0xFB;
  return dbase3 ? MemoFormat::kDbase3 : MemoFormat::kDbase4;
}

// The other format to look for when the table's own memo file is missing: some programs
// write another version byte than the memo file they write beside it.
MemoFormat OtherMemoFormat(MemoFormat format, unsigned char version) {
  if (format != MemoFormat::kFoxPro) return MemoFormat::kFoxPro;
  return version == 0xF5 || version == 0xFB ? MemoFormat::kDbase3 : MemoFormat::kDbase4;
}

// How the values of a field are read from its bytes.
enum class Reading {
  kCharacter,
  kNumber,
  kDate,
  kLogical,
  kMemo,
  kInteger,          // 32-bit little-endian
  kSignFlipInteger,  // dBase 7: 32-bit big-endian, sign bit inverted
  kCurrency,         // 64-bit little-endian, ten-thousandths
  kDouble,           // little-endian IEEE double
  kDateTime,         // 32-bit Julian day and 32-bit milliseconds since midnight
  kVarchar,          // text whose length is in its last byte when its varlength bit is set
  kNone,             // not read: an UnreadableField
};

struct FieldLayout {
  size_t offset = 0;  // in the record, after the deletion flag's byte
  Reading reading = Reading::kNone;
  int null_bit = -1;       // FoxPro: the bit of _NullFlags set when the value is null
  int varlength_bit = -1;  // FoxPro varchar: set when the length is in the last byte
};

// The type of a field that is not read, in words ("FoxPro general/OLE").
std::string UnreadTypeWords(char type, int width, Dialect dialect, bool binary) {
  const std::string of_width = " of width " + std::to_string(width);
  switch (type) {
    case 'C':
      return "FoxPro binary character";
    case 'M':
      return binary ? "FoxPro binary memo" : "memo" + of_width;
    case 'V':
      return binary ? "FoxPro varbinary" : "varchar outside a Visual FoxPro table";
    case 'Q':
      return "FoxPro varbinary";
    case 'G':
      return dialect == Dialect::kDbase || dialect == Dialect::kDbase7 ? "dBase OLE"
                                                                       : "FoxPro general/OLE";
    case 'P':
      return "FoxPro picture";
    case 'W':
      return "FoxPro blob";
    case 'B':
      return width == 10 ? "dBase binary memo" : "double" + of_width;
    case 'O':
      return "dBase double";
    case '@':
      return "dBase timestamp";
    case 'I':
    case '+':
      return "integer" + of_width;
    case 'Y':
      return "currency" + of_width;
    case 'T':
      return "date-time" + of_width;
    default:
      return "unknown";
  }
}

bool KnownFieldType(char type) {
  return type != '\0' && std::strchr("CNFDLMGBPIYTVQW@O+", type) != nullptr;
}

// How a field of `type`, `width` bytes and FoxPro `flags` is read; kNone when it is not.
Reading ReadingOf(char type, int width, Dialect dialect, unsigned char flags) {
  const bool binary = dialect == Dialect::kVisualFoxPro && (flags & kBinaryFlag);
  switch (type) {
    case 'C':
      return binary ? Reading::kNone : Reading::kCharacter;
    case 'N':
    case 'F':
      return Reading::kNumber;
    case 'D':
      return Reading::kDate;
    case 'L':
      return Reading::kLogical;
    case 'M':
      return binary || (width != 4 && width != 10) ? Reading::kNone : Reading::kMemo;
    case 'I':
    case '+':
      if (width != 4) return Reading::kNone;
      return dialect == Dialect::kDbase7 ? Reading::kSignFlipInteger : Reading::kInteger;
    case 'Y':
      return width == 8 ? Reading::kCurrency : Reading::kNone;
    case 'B':  // a double in FoxPro's 8 bytes; dBase's binary memo has 10
      return width == 8 ? Reading::kDouble : Reading::kNone;
    case 'T':
      return width == 8 ? Reading::kDateTime : Reading::kNone;
    case 'V':
      return binary || dialect != Dialect::kVisualFoxPro ? Reading::kNone : Reading::kVarchar;
    default:
      return Reading::kNone;
  }
}

// The bytes of a table file: held whole when they were handed in, otherwise read from the
// file a stretch at a time, so that a large table is never held whole while it is read.
class TableBytes {
 public:
  static TableBytes Held(std::string bytes) {
    TableBytes held;
    held.size_ = bytes.size();
    held.window_ = std::move(bytes);
    return held;
  }
  // Opens the file at `path`; throws HostError kTableUnavailable when it cannot be opened.
  static TableBytes OfFile(const std::string& path) {
    TableBytes file;
    file.path_ = path;
    file.file_.open(path, std::ios::binary);
    std::error_code error;
    file.size_ = std::filesystem::file_size(path, error);
    if (!file.file_ || error) {
      throw HostError(kTableUnavailable,
                      "The table file cannot be opened: " + std::string(std::strerror(errno)),
                      Source(path));
    }
    return file;
  }

  // The file's size when it was opened.
  std::uint64_t size() const { return size_; }

  // The `length` bytes at `offset`, which the caller has checked lie within size(); valid
  // until the next call. Throws HostError kTableUnavailable when the file no longer holds
  // them (it was cut short since it was opened) or cannot be read.
  std::string_view At(std::uint64_t offset, size_t length) {
    if (offset < window_offset_ || offset + length > window_offset_ + window_.size()) {
      Refill(offset, length);
    }
    return std::string_view(window_).substr(offset - window_offset_, length);
  }

 private:
  TableBytes() = default;

  static constexpr size_t kWindowBytes = size_t{1} << 18;

  void Refill(std::uint64_t offset, size_t length) {
    if (offset > size_ || length > size_ - offset) {
      Corrupt(path_, "a read past the end of the file at offset " + std::to_string(offset));
    }
    const auto wanted = static_cast<size_t>(
        std::min<std::uint64_t>(std::max(length, kWindowBytes), size_ - offset));
    window_.resize(wanted);
    window_offset_ = offset;
    file_.clear();
    file_.seekg(static_cast<std::streamoff>(offset));
    file_.read(window_.data(), static_cast<std::streamsize>(wanted));
    if (static_cast<size_t>(file_.gcount()) != wanted) {
      window_.clear();
      throw HostError(kTableUnavailable,
                      "The table file cannot be read: it is shorter than when it was opened "
                      "(changed while it was read?)",
                      Source(path_));
    }
  }

  std::string path_;
  std::ifstream file_;  // closed when the bytes were handed in
  std::uint64_t size_ = 0;
  std::string window_;  // the bytes from window_offset_ on
  std::uint64_t window_offset_ = 0;
};

// What the header says about the fields, checked against the file's size.
struct Header {
  unsigned char version = 0;
  Dialect dialect = Dialect::kDbase;
  size_t header_length = 0;
  size_t record_length = 0;
  std::uint64_t records = 0;
  std::vector<DbfField> fields;  // the visible ones, without FoxPro's _NullFlags
  std::vector<FieldLayout> layouts;
  std::vector<std::string> unread_types;  // per field: the words of a type not read, or ""
  std::optional<FieldLayout> null_flags;  // FoxPro's _NullFlags field
  size_t null_flags_width = 0;
  unsigned char language_driver = 0;  // names the code page, when not 0
};

// Gives each FoxPro field its bits in _NullFlags, first bit first in field order: a varchar
// or varbinary field its varlength bit, then a nullable field its null bit.
void AssignNullBits(const std::string& path, const std::vector<unsigned char>& flags,
                    Header* header) {
  int next = 0;
  for (size_t i = 0; i < header->fields.size(); ++i) {
    const char type = header->fields[i].type;
    if (type == 'V' || type == 'Q') header->layouts[i].varlength_bit = next++;
    if (flags[i] & kNullableFlag) header->layouts[i].null_bit = next++;
  }
  if (next == 0) return;
  if (!header->null_flags || static_cast<size_t>(next) > 8 * header->null_flags_width) {
    Corrupt(path, "its _NullFlags field is missing or too short for the " + std::to_string(next) +
                      " null and varchar bits its fields need");
  }
}

void CheckUniqueNames(const std::string& path, const std::vector<DbfField>& fields) {
  for (size_t i = 0; i < fields.size(); ++i) {
    for (size_t j = 0; j < i; ++j) {
      if (!EqualsIgnoreCase(fields[i].name, fields[j].name)) continue;
      throw HostError(kCorruptTable,
                      "The table has two fields named " + fields[i].name +
                          ", so which one a query reads is unknown",
                      Source(path) + ", field " + fields[i].name);
    }
  }
}

// Checks every header number the reader will trust and returns the fields.
Header CheckHeader(const std::string& path, TableBytes& file) {
  if (file.size() < kHeaderSize + 1) Corrupt(path, "the file is too short for a dBase header");
  Header header;
  std::string bytes(file.At(0, kHeaderSize));
  header.version = static_cast<unsigned char>(bytes[0]);
  header.dialect = DialectOf(header.version);
  header.records = ReadLittleEndian(bytes, 4, 4);
  header.header_length = ReadLittleEndian(bytes, 8, 2);
  header.record_length = ReadLittleEndian(bytes, 10, 2);
  header.language_driver = static_cast<unsigned char>(bytes[29]);
  const bool dbase7 = header.dialect == Dialect::kDbase7;
  const size_t first = dbase7 ? 68 : kHeaderSize;  // dBase 7 names its language driver first
  const size_t size = dbase7 ? 48 : 32;
  const size_t type_at = dbase7 ? 32 : 11;
  if (header.header_length < first + size + 1 || header.header_length > file.size()) {
    Corrupt(path, "header length " + std::to_string(header.header_length) + " is not valid");
  }
  bytes = file.At(0, header.header_length);
  std::vector<unsigned char> flags;
  size_t width_sum = 1;  // the deletion flag
  for (size_t pos = first; pos + size <= header.header_length; pos += size) {
    if (static_cast<unsigned char>(bytes[pos]) == kHeaderTerminator) break;
    DbfField field;
    field.name = bytes.substr(pos, strnlen(bytes.data() + pos, type_at));
    field.type = static_cast<char>(std::toupper(static_cast<unsigned char>(bytes[pos + type_at])));
    field.width = static_cast<unsigned char>(bytes[pos + type_at + (dbase7 ? 1 : 5)]);
    field.decimals = static_cast<unsigned char>(bytes[pos + type_at + (dbase7 ? 2 : 6)]);
    const unsigned char flag =
        header.dialect == Dialect::kVisualFoxPro ? static_cast<unsigned char>(bytes[pos + 18]) : 0;
    if (field.type == 'C' && !dbase7) {  // a 16-bit width, as some writers store long text
      field.width += 256 * field.decimals;
      field.decimals = 0;
    }
    const bool null_flags =
        field.type == kNullFlagsType && header.dialect == Dialect::kVisualFoxPro;
    if (field.name.empty() || !(KnownFieldType(field.type) || null_flags) || field.width == 0) {
      Corrupt(path,
              "field descriptor " + std::to_string(header.fields.size() + 1) + " is not valid");
    }
    FieldLayout layout;
    layout.offset = width_sum;
    width_sum += field.width;
    if (null_flags) {
      header.null_flags = layout;
      header.null_flags_width = field.width;
      continue;
    }
    layout.reading = ReadingOf(field.type, field.width, header.dialect, flag);
    const bool binary = flag & kBinaryFlag;
    header.unread_types.push_back(
        layout.reading == Reading::kNone
            ? UnreadTypeWords(field.type, field.width, header.dialect, binary)
            : "");
    header.fields.push_back(std::move(field));
    header.layouts.push_back(layout);
    flags.push_back(flag);
  }
  if (header.fields.empty()) Corrupt(path, "the header describes no field");
  if (width_sum > header.record_length) {
    Corrupt(path, "record length " + std::to_string(header.record_length) +
                      " is shorter than its fields (" + std::to_string(width_sum) + ")");
  }
  const std::uint64_t records_end = header.header_length + header.records * header.record_length;
  if (records_end > file.size()) {
    Corrupt(path, "the header counts " + std::to_string(header.records) +
                      " records but the file is too short for them (truncated?)");
  }
  // An end-of-file byte or padding follows the records; another whole record there means the
  // header's count is stale and the table holds rows it does not count.
  const bool record_follows =
      file.size() - records_end >= header.record_length &&
      (file.At(records_end, 1)[0] == ' ' || file.At(records_end, 1)[0] == kDeletedFlag);
  if (record_follows) {
    Corrupt(path, "the header counts " + std::to_string(header.records) +
                      " records but the file holds " +
                      std::to_string((file.size() - header.header_length) / header.record_length) +
                      " whole records");
  }
  AssignNullBits(path, flags, &header);
  CheckUniqueNames(path, header.fields);
  return header;
}

bool AllOf(std::string_view text, char c) {
  return std::all_of(text.begin(), text.end(), [c](char x) { return x == c; });
}

// A value that does not fit its field: "field DFR holds "20150230", which is not a date".
struct UnfitValue {
  std::string what;
};

[[noreturn]] void BadValue(const DbfField& field, std::string_view raw, const char* expected) {
  throw UnfitValue{"field " + field.name + " holds \"" + std::string(raw) + "\", which is not " +
                   expected};
}

Value ParseNumber(const DbfField& at, std::string_view raw) {
  std::string_view text = Trim(raw, kBlankOrNul);
  if (text.empty() || AllOf(text, '*')) return Value();
  std::string_view digits = text.front() == '+' ? text.substr(1) : text;
  double number = 0;
  const auto result = std::from_chars(digits.data(), digits.data() + digits.size(), number);
  if (digits.empty() || result.ec != std::errc() || result.ptr != digits.data() + digits.size() ||
      !std::isfinite(number)) {
    BadValue(at, raw, "a number");
  }
  return Value::Number(number);
}

Value ParseDate(const DbfField& at, std::string_view raw) {
  std::string_view text = Trim(raw, kBlankOrNul);
  if (text.empty() || AllOf(text, '0')) return Value();
  int year = 0, month = 0, day = 0;
  const bool digits = text.size() == 8 && std::all_of(text.begin(), text.end(),
                                                      [](char c) { return c >= '0' && c <= '9'; });
  if (digits) {
    std::from_chars(text.data(), text.data() + 4, year);
    std::from_chars(text.data() + 4, text.data() + 6, month);
    std::from_chars(text.data() + 6, text.data() + 8, day);
  }
  if (!digits || !IsValidDate(year, month, day)) BadValue(at, raw, "a date");
  return Value::FromDate(Date{year, month, day});
}

Value ParseLogical(const DbfField& at, std::string_view raw) {
  std::string_view text = Trim(raw, kBlankOrNul);
  if (text.empty() || text == "?") return Value();
  if (text.size() == 1 && std::strchr("TtYy", text[0])) return Value::Bool(true);
  if (text.size() == 1 && std::strchr("FfNn", text[0])) return Value::Bool(false);
  BadValue(at, raw, "a logical value");
}

// The bytes of a binary field, as hex for messages.
std::string Hex(std::string_view raw) {
  std::string out;
  char pair[3];
  for (unsigned char c : raw) {
    std::snprintf(pair, sizeof pair, "%02X", c);
    out += pair;
  }
  return out;
}

Value ParseDouble(const DbfField& at, std::string_view raw) {
  const double number = std::bit_cast<double>(ReadLittleEndian(raw, 0, 8));
  if (!std::isfinite(number)) BadValue(at, Hex(raw), "a finite number");
  return Value::Number(number);
}

// FoxPro's date-time: a Julian day number and the milliseconds since midnight; both 0 (or
// blank bytes) when empty. Read as "yyyy-mm-dd hh:mm:ss", ".mmm" added for milliseconds.
Value ParseDateTime(const DbfField& at, std::string_view raw) {
  if (Trim(raw, kBlankOrNul).empty()) return Value();
  const std::int64_t julian = static_cast<std::int64_t>(ReadLittleEndian(raw, 0, 4));
  const std::int64_t millis = static_cast<std::int64_t>(ReadLittleEndian(raw, 4, 4));
  if (julian == 0 && millis == 0) return Value();
  // Julian day to the Gregorian calendar (Fliegel and Van Flandern).
  std::int64_t l = julian + 68569;
  const std::int64_t n = 4 * l / 146097;
  l -= (146097 * n + 3) / 4;
  const std::int64_t i = 4000 * (l + 1) / 1461001;
  l = l - 1461 * i / 4 + 31;
  const std::int64_t j = 80 * l / 2447;
  const std::int64_t day = l - 2447 * j / 80;
  l = j / 11;
  const std::int64_t month = j + 2 - 12 * l;
  const std::int64_t year = 100 * (n - 49) + i + l;
  if (julian < 1721426 || year > 9999 || millis >= 86400000) {  // 1721426: 1 January of year 1
    BadValue(at, Hex(raw), "a date-time");
  }
  char text[32];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", static_cast<int>(year),
                static_cast<int>(month), static_cast<int>(day), static_cast<int>(millis / 3600000),
                static_cast<int>(millis / 60000 % 60), static_cast<int>(millis / 1000 % 60));
  std::string value = text;
  if (millis % 1000 != 0) {
    std::snprintf(text, sizeof text, ".%03d", static_cast<int>(millis % 1000));
    value += text;
  }
  return Value::Text(std::move(value));
}

// The memo block a memo field points to: FoxPro's 4-byte binary number or dBase's ten
// digits; nullopt for an empty memo (0 or blank).
std::optional<std::uint64_t> MemoBlock(const DbfField& at, std::string_view raw) {
  std::uint64_t block = 0;
  if (raw.size() == 4) {
    if (raw != "    ") block = ReadLittleEndian(raw, 0, 4);  // some writers leave it blank
  } else {
    const std::string_view digits = Trim(raw, kBlankOrNul);
    const auto result = std::from_chars(digits.data(), digits.data() + digits.size(), block);
    if (!digits.empty() &&
        (result.ec != std::errc() || result.ptr != digits.data() + digits.size())) {
      BadValue(at, raw, "a memo block number");
    }
  }
  if (block == 0) return std::nullopt;
  return block;
}

bool BitSet(const char* raw, size_t offset, int bit) {
  return (static_cast<unsigned char>(raw[offset + bit / 8]) >> (bit % 8)) & 1;
}

// Whether FoxPro marks the value of `layout` in record `raw` null.
bool IsNull(const Header& header, const FieldLayout& layout, const char* raw) {
  return layout.null_bit >= 0 && BitSet(raw, header.null_flags->offset, layout.null_bit);
}

// The stored bytes of a text value (character, varchar or memo field) in record `raw`;
// nullopt for an empty memo. Throws UnfitValue for a varchar length past the field, and
// HostError for a memo the memo file cannot give.
std::optional<std::string_view> TextBytes(const Header& header, size_t i, const char* raw,
                                          const DbfField& field, const MemoFile* memo) {
  const FieldLayout& layout = header.layouts[i];
  const std::string_view bytes(raw + layout.offset, field.width);
  switch (layout.reading) {
    case Reading::kVarchar: {
      if (layout.varlength_bit < 0 ||
          !BitSet(raw, header.null_flags->offset, layout.varlength_bit)) {
        return bytes;
      }
      const size_t length = static_cast<unsigned char>(bytes.back());
      if (length >= bytes.size()) BadValue(field, bytes, "a varchar value with its length");
      return bytes.substr(0, length);
    }
    case Reading::kMemo: {
      const auto block = MemoBlock(field, bytes);
      if (!block) return std::nullopt;
      return memo->Text(*block);
    }
    default:
      return bytes;
  }
}

// A character value: NUL bytes are padding like blanks; a blank value reads as null, as the
// provider returned it.
Value CharacterValue(std::string_view bytes, TextDecoder& decoder) {
  if (bytes.find('\0') == std::string_view::npos) {
    const std::string_view text = TrimRight(bytes);
    return text.empty() ? Value() : Value::Text(decoder.Decode(text));
  }
  std::string padded(bytes);
  std::replace(padded.begin(), padded.end(), '\0', ' ');
  return CharacterValue(padded, decoder);
}

}  // namespace

struct DbfReader::Impl {
  explicit Impl(TableBytes table_bytes) : bytes(std::move(table_bytes)) {}

  TableBytes bytes;
  Header header;
  std::unique_ptr<TextDecoder> decoder;
  std::unique_ptr<MemoFile> memo;
  std::string memo_path;         // the memo file the memo fields need, found or expected
  std::vector<bool> unreadable;  // per field

  // The bytes of `record`, valid until the next call.
  const char* Record(std::uint64_t record) {
    return bytes.At(header.header_length + record * header.record_length, header.record_length)
        .data();
  }
};

DbfReader::DbfReader(const std::string& path)
    : path_(path), impl_(std::make_unique<Impl>(TableBytes::OfFile(path))) {
  Open(std::nullopt, true);
}

DbfReader::DbfReader(const std::string& path, std::string bytes, std::optional<std::string> memo)
    : path_(path), impl_(std::make_unique<Impl>(TableBytes::Held(std::move(bytes)))) {
  Open(std::move(memo), false);
}

DbfReader::~DbfReader() = default;

void DbfReader::Open(std::optional<std::string> memo, bool memo_on_disk) {
  impl_->header = CheckHeader(path_, impl_->bytes);
  fields_ = impl_->header.fields;
  record_count_ = static_cast<int>(impl_->header.records);
  impl_->unreadable.assign(fields_.size(), false);
  for (size_t i = 0; i < fields_.size(); ++i) {
    const std::string& words = impl_->header.unread_types[i];
    if (words.empty()) continue;
    MarkUnreadable(i,
                   "The field " + fields_[i].name + " has type '" + fields_[i].type + "' (" +
                       words + "), which is not read",
                   Source(path_) + ", field " + fields_[i].name);
  }
  OpenMemo(std::move(memo), memo_on_disk);
  code_page_ = ChooseCodePage();
  impl_->decoder = std::make_unique<TextDecoder>(code_page_);
}

void DbfReader::OpenMemo(std::optional<std::string> memo, bool memo_on_disk) {
  std::vector<size_t> memo_fields;
  for (size_t i = 0; i < fields_.size(); ++i) {
    if (impl_->header.layouts[i].reading == Reading::kMemo) memo_fields.push_back(i);
  }
  if (memo_fields.empty()) return;
  MemoFormat format = MemoFormatOf(impl_->header.version, impl_->header.dialect);
  std::optional<std::string> found = memo_on_disk ? FindMemoFile(path_, format) : std::nullopt;
  const MemoFormat other = OtherMemoFormat(format, impl_->header.version);
  if (memo_on_disk && !found && (found = FindMemoFile(path_, other))) format = other;
  impl_->memo_path = found ? *found
                           : std::filesystem::path(path_)
                                 .replace_extension(format == MemoFormat::kFoxPro ? ".fpt" : ".dbt")
                                 .string();
  std::string fault = "The memo file is missing";
  try {
    if (found) impl_->memo = std::make_unique<MemoFile>(*found, format);
    if (memo) impl_->memo = std::make_unique<MemoFile>(impl_->memo_path, std::move(*memo), format);
  } catch (const HostError& error) {
    fault = error.description();
  }
  if (impl_->memo) return;
  for (size_t i : memo_fields) MarkMemoUnreadable(i, fault);
}

void DbfReader::MarkMemoUnreadable(size_t field, const std::string& fault) {
  MarkUnreadable(
      field, fault + ", so the field " + fields_[field].name + " cannot be read",
      Source(path_) + ", memo file " + impl_->memo_path + ", field " + fields_[field].name);
}

void DbfReader::MarkUnreadable(size_t field, std::string description, std::string source) {
  if (impl_->unreadable[field]) return;
  impl_->unreadable[field] = true;
  unreadable_.push_back({fields_[field].name, std::move(description), std::move(source)});
}

std::string DbfReader::ChooseCodePage() {
  const std::string named = CodePageOfLanguageDriver(impl_->header.language_driver);
  if (!named.empty()) return named;
  const std::string user = UnnamedCodePage();
  if (!user.empty()) return user;
  bool multi_byte = false;
  for (std::uint64_t record = 0; record < impl_->header.records; ++record) {
    const char* raw = impl_->Record(record);
    if (raw[0] == kDeletedFlag) continue;
    for (size_t i = 0; i < fields_.size(); ++i) {
      const Reading reading = impl_->header.layouts[i].reading;
      const bool text = reading == Reading::kCharacter || reading == Reading::kVarchar ||
                        reading == Reading::kMemo;
      if (!text || impl_->unreadable[i] || IsNull(impl_->header, impl_->header.layouts[i], raw)) {
        continue;
      }
      std::optional<std::string_view> bytes;
      try {
        bytes = TextBytes(impl_->header, i, raw, fields_[i], impl_->memo.get());
      } catch (...) {
        continue;  // reading the record reports it
      }
      const Utf8Shape shape = bytes ? ShapeAsUtf8(*bytes) : Utf8Shape::kAscii;
      if (shape == Utf8Shape::kInvalid) return "CP1252";
      multi_byte = multi_byte || shape == Utf8Shape::kMultiByte;
    }
  }
  return multi_byte ? "UTF-8" : "CP1252";
}

void DbfReader::ReadFields(const char* raw, Value* values) {
  const Header& header = impl_->header;
  for (size_t i = 0; i < fields_.size(); ++i) {
    const DbfField& field = fields_[i];
    Value& value = values[i];
    value = Value();
    if (!wanted_.empty() && !wanted_[i]) continue;  // a field the caller does not read
    const FieldLayout& layout = header.layouts[i];
    if (impl_->unreadable[i] || IsNull(header, layout, raw)) continue;
    const std::string_view bytes(raw + layout.offset, field.width);
    switch (layout.reading) {
      case Reading::kCharacter:
        value = CharacterValue(bytes, *impl_->decoder);
        break;
      case Reading::kVarchar:
      case Reading::kMemo:
        try {
          const auto text = TextBytes(header, i, raw, field, impl_->memo.get());
          if (text && !text->empty()) value = Value::Text(impl_->decoder->Decode(*text));
        } catch (const HostError& error) {
          MarkMemoUnreadable(i, error.description());
        }
        break;
      case Reading::kNumber:
        value = ParseNumber(field, bytes);
        break;
      case Reading::kDate:
        value = ParseDate(field, bytes);
        break;
      case Reading::kLogical:
        value = ParseLogical(field, bytes);
        break;
      case Reading::kInteger:
        value = Value::Number(static_cast<std::int32_t>(ReadLittleEndian(bytes, 0, 4)));
        break;
      case Reading::kSignFlipInteger: {
        const auto stored = static_cast<std::uint32_t>(ReadBigEndian(bytes, 0, 4));
        value = Value::Number(static_cast<std::int32_t>(stored ^ 0x80000000u));
        break;
      }
      case Reading::kCurrency:
        value = Value::Number(
            static_cast<double>(static_cast<std::int64_t>(ReadLittleEndian(bytes, 0, 8))) / 10000);
        break;
      case Reading::kDouble:
        value = ParseDouble(field, bytes);
        break;
      case Reading::kDateTime:
        value = ParseDateTime(field, bytes);
        break;
      case Reading::kNone:
        break;
    }
  }
}

bool DbfReader::ReadRow(std::vector<Value>* row) {
  row->resize(fields_.size());
  return ReadRow(row->data());
}

bool DbfReader::ReadRow(Value* values) {
  while (next_record_ < record_count_) {
    const int record = next_record_++;
    const char* raw = impl_->Record(record);
    if (raw[0] == kDeletedFlag) continue;
    try {
      ReadFields(raw, values);
      return true;
    } catch (const UnfitValue& unfit) {
      const std::string name = "record " + std::to_string(record + 1);
      if (!skip_key_) Corrupt(path_, name + ", " + unfit.what);
      const FieldLayout& key = impl_->header.layouts[*skip_key_];
      const std::string_view key_bytes(raw + key.offset, fields_[*skip_key_].width);
      skipped_.push_back(name + " (" + fields_[*skip_key_].name + " " +
                         std::string(Trim(key_bytes, kBlankOrNul)) + "): " + unfit.what);
    }
  }
  return false;
}

void DbfReader::ReadOnlyFields(std::vector<bool> wanted) {
  wanted_ = std::move(wanted);
  if (!wanted_.empty()) wanted_.resize(fields_.size(), false);
}

void DbfReader::SkipUnreadableRecords(const std::string& key_field) {
  for (size_t i = 0; i < fields_.size(); ++i) {
    if (EqualsIgnoreCase(fields_[i].name, key_field)) skip_key_ = i;
  }
  if (!skip_key_) Corrupt(path_, "it has no field " + key_field);
}

std::optional<std::string> FindTableFile(const std::string& folder, std::string_view name) {
  const std::vector<std::string> files = FilesIgnoringCase(folder, std::string(name) + ".dbf");
  if (files.size() > 1) {
    std::string list;
    for (const auto& file : files) list += (list.empty() ? "" : " and ") + file;
    throw HostError(kCorruptTable,
                    "The table " + std::string(name) +
                        " has files that differ only in letter case, so which one holds it is "
                        "unknown: " +
                        list + ". Keep one of them",
                    "table " + std::string(name));
  }
  if (files.empty()) return std::nullopt;
  return files.front();
}

}  // namespace vatrix
