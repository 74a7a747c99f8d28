#include "hostdata/dbf_reader.h"

#include <shapefil.h>

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "hostdata/code_page.h"
#include "hostdata/file_names.h"
#include "hostdata/host_error.h"
#include "hostdata/text.h"

namespace vatrix {

namespace {

constexpr size_t kHeaderSize = 32;
constexpr size_t kDescriptorSize = 32;
constexpr unsigned char kHeaderTerminator = 0x0D;
constexpr char kDeletedFlag = '*';

unsigned ReadLittleEndian(const std::string& bytes, size_t pos, int size) {
  unsigned value = 0;
  for (int i = size - 1; i >= 0; --i) {
    value = (value << 8) | static_cast<unsigned char>(bytes[pos + i]);
  }
  return value;
}

std::string Source(const std::string& path) { return "table file " + path; }

[[noreturn]] void Corrupt(const std::string& path, const std::string& what) {
  throw HostError(kCorruptTable, "The table file is damaged: " + what, Source(path));
}

// ---- shapelib over a buffer in memory -----------------------------------------------------
// shapelib reads through hooks; ours serve the one file we have already read and checked, so
// that shapelib never sees bytes we did not validate and each record costs no system call.

struct MemoryFile {
  const std::string* bytes;
  size_t position = 0;
};

thread_local const std::string* t_buffer = nullptr;
thread_local std::string t_buffer_name;  // lower-case path of t_buffer
thread_local std::string t_shapelib_error;

SAFile HookOpen(const char* name, const char* access) {
  if (t_buffer == nullptr || std::strchr(access, 'w') || std::strchr(access, '+') ||
      ToLowerAscii(name) != t_buffer_name) {
    return nullptr;  // no side files (.cpg), no writing
  }
  return reinterpret_cast<SAFile>(new MemoryFile{t_buffer});
}

SAOffset HookRead(void* p, SAOffset size, SAOffset count, SAFile file) {
  auto* f = reinterpret_cast<MemoryFile*>(file);
  if (size == 0) return 0;
  const size_t available = f->bytes->size() - std::min(f->position, f->bytes->size());
  const size_t whole = std::min<size_t>(count, available / size);
  std::memcpy(p, f->bytes->data() + f->position, whole * size);
  f->position += whole * size;
  return whole;
}

SAOffset HookWrite(void*, SAOffset, SAOffset, SAFile) { return 0; }

SAOffset HookSeek(SAFile file, SAOffset offset, int whence) {
  auto* f = reinterpret_cast<MemoryFile*>(file);
  size_t base = whence == SEEK_SET ? 0 : whence == SEEK_CUR ? f->position : f->bytes->size();
  f->position = base + offset;
  return 0;
}

SAOffset HookTell(SAFile file) { return reinterpret_cast<MemoryFile*>(file)->position; }
int HookFlush(SAFile) { return 0; }
int HookClose(SAFile file) {
  delete reinterpret_cast<MemoryFile*>(file);
  return 0;
}
int HookRemove(const char*) { return -1; }
void HookError(const char* message) { t_shapelib_error = message; }
double HookAtof(const char* text) { return std::strtod(text, nullptr); }

SAHooks MemoryHooks() {
  SAHooks hooks;
  hooks.FOpen = HookOpen;
  hooks.FRead = HookRead;
  hooks.FWrite = HookWrite;
  hooks.FSeek = HookSeek;
  hooks.FTell = HookTell;
  hooks.FFlush = HookFlush;
  hooks.FClose = HookClose;
  hooks.Remove = HookRemove;
  hooks.Error = HookError;
  hooks.Atof = HookAtof;
  return hooks;
}

// ---- header validation --------------------------------------------------------------------

bool KnownFieldType(char type) { return std::strchr("CNFDLMGBP", type) != nullptr && type; }

// Checks every header number shapelib will trust and returns the field descriptors.
std::vector<DbfField> CheckHeader(const std::string& path, const std::string& bytes) {
  if (bytes.size() < kHeaderSize + 1) Corrupt(path, "the file is too short for a dBase header");
  const uint64_t records = ReadLittleEndian(bytes, 4, 4);
  const size_t header_length = ReadLittleEndian(bytes, 8, 2);
  const size_t record_length = ReadLittleEndian(bytes, 10, 2);
  if (header_length < kHeaderSize + kDescriptorSize + 1 || header_length > bytes.size()) {
    Corrupt(path, "header length " + std::to_string(header_length) + " is not valid");
  }
  std::vector<DbfField> fields;
  size_t width_sum = 1;  // the deletion flag
  for (size_t pos = kHeaderSize; pos + kDescriptorSize <= header_length; pos += kDescriptorSize) {
    if (static_cast<unsigned char>(bytes[pos]) == kHeaderTerminator) break;
    DbfField field;
    field.name = bytes.substr(pos, strnlen(bytes.data() + pos, 11));
    field.type = static_cast<char>(std::toupper(static_cast<unsigned char>(bytes[pos + 11])));
    field.width = static_cast<unsigned char>(bytes[pos + 16]);
    field.decimals = static_cast<unsigned char>(bytes[pos + 17]);
    if (field.type != 'N' && field.type != 'F') {  // a 16-bit width, as shapelib reads it
      field.width += 256 * field.decimals;
      field.decimals = 0;
    }
    if (field.name.empty() || !KnownFieldType(field.type) || field.width == 0) {
      Corrupt(path, "field descriptor " + std::to_string(fields.size() + 1) + " is not valid");
    }
    width_sum += field.width;
    fields.push_back(std::move(field));
  }
  if (fields.empty()) Corrupt(path, "the header describes no field");
  if (width_sum > record_length) {
    Corrupt(path, "record length " + std::to_string(record_length) +
                      " is shorter than its fields (" + std::to_string(width_sum) + ")");
  }
  const uint64_t records_end = header_length + records * record_length;
  if (records_end > bytes.size()) {
    Corrupt(path, "the header counts " + std::to_string(records) +
                      " records but the file is too short for them (truncated?)");
  }
  // An end-of-file byte or padding follows the records; another whole record there means the
  // header's count is stale and the table holds rows it does not count.
  const bool record_follows = bytes.size() - records_end >= record_length &&
                              (bytes[records_end] == ' ' || bytes[records_end] == kDeletedFlag);
  if (record_follows) {
    Corrupt(path, "the header counts " + std::to_string(records) + " records but the file holds " +
                      std::to_string((bytes.size() - header_length) / record_length) +
                      " whole records");
  }
  return fields;
}

std::string ReadWholeFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::error_code error;
  const auto size = std::filesystem::file_size(path, error);
  if (!in || error) {
    throw HostError(kTableUnavailable,
                    "The table file cannot be opened: " + std::string(std::strerror(errno)),
                    Source(path));
  }
  std::string bytes(size, '\0');
  in.read(bytes.data(), static_cast<std::streamsize>(size));
  if (static_cast<std::uintmax_t>(in.gcount()) != size) {
    throw HostError(kTableUnavailable, "The table file cannot be read", Source(path));
  }
  return bytes;
}

bool AllOf(std::string_view text, char c) {
  return std::all_of(text.begin(), text.end(), [c](char x) { return x == c; });
}

}  // namespace

struct DbfReader::Impl {
  std::string bytes;
  DBFHandle handle = nullptr;
  std::unique_ptr<TextDecoder> decoder;
  std::vector<int> offsets;
  ~Impl() {
    if (handle) DBFClose(handle);
  }
};

DbfReader::DbfReader(const std::string& path) : DbfReader(path, ReadWholeFile(path)) {}

DbfReader::DbfReader(const std::string& path, std::string bytes)
    : path_(path), impl_(std::make_unique<Impl>()) {
  impl_->bytes = std::move(bytes);
  fields_ = CheckHeader(path, impl_->bytes);

  SAHooks hooks = MemoryHooks();
  t_buffer = &impl_->bytes;
  t_buffer_name = ToLowerAscii(path);
  t_shapelib_error.clear();
  impl_->handle = DBFOpenLL(path.c_str(), "rb", &hooks);
  t_buffer = nullptr;
  if (impl_->handle == nullptr) {
    Corrupt(path, t_shapelib_error.empty() ? "it is not a dBase table" : t_shapelib_error);
  }
  if (DBFGetFieldCount(impl_->handle) != static_cast<int>(fields_.size())) {
    Corrupt(path, "the field descriptors do not agree with the header length");
  }
  for (int i = 0; i < DBFGetFieldCount(impl_->handle); ++i) {
    const int offset = impl_->handle->panFieldOffset[i];
    if (offset < 1 || offset + fields_[i].width > impl_->handle->nRecordLength) {
      Corrupt(path, "field " + fields_[i].name + " lies outside the record");
    }
    impl_->offsets.push_back(offset);
  }
  record_count_ = DBFGetRecordCount(impl_->handle);
  code_page_ = CodePageOfLanguageDriver(static_cast<unsigned char>(impl_->bytes[29]));
  impl_->decoder = std::make_unique<TextDecoder>(code_page_);
}

DbfReader::~DbfReader() = default;

namespace {

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

void DbfReader::ReadFields(const char* raw, std::vector<Value>* row) {
  row->assign(fields_.size(), Value());
  for (size_t i = 0; i < fields_.size(); ++i) {
    const DbfField& field = fields_[i];
    const std::string_view bytes(raw + impl_->offsets[i], field.width);
    switch (field.type) {
      case 'C':
        (*row)[i] = CharacterValue(bytes, *impl_->decoder);
        break;
      case 'N':
      case 'F':
        (*row)[i] = ParseNumber(field, bytes);
        break;
      case 'D':
        (*row)[i] = ParseDate(field, bytes);
        break;
      case 'L':
        (*row)[i] = ParseLogical(field, bytes);
        break;
      default:
        break;  // memo and binary fields: not read
    }
  }
}

bool DbfReader::ReadRow(std::vector<Value>* row) {
  while (next_record_ < record_count_) {
    const int record = next_record_++;
    const char* raw = DBFReadTuple(impl_->handle, record);
    if (raw == nullptr) Corrupt(path_, "record " + std::to_string(record + 1) + " cannot be read");
    if (raw[0] == kDeletedFlag) continue;
    const std::string name = "record " + std::to_string(record + 1);
    try {
      ReadFields(raw, row);
      return true;
    } catch (const UnfitValue& unfit) {
      if (!skip_key_) Corrupt(path_, name + ", " + unfit.what);
      const std::string_view key(raw + impl_->offsets[*skip_key_], fields_[*skip_key_].width);
      skipped_.push_back(name + " (" + fields_[*skip_key_].name + " " +
                         std::string(Trim(key, kBlankOrNul)) + "): " + unfit.what);
    }
  }
  return false;
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
