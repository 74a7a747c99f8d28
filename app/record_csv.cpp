#include "app/record_csv.h"

#include <algorithm>

namespace vatrix {

namespace {

// Reads CSV text record by record, counting lines.
class CsvReader {
 public:
  explicit CsvReader(std::string_view text) : text_(text) {
    if (text_.substr(0, 3) == "\xEF\xBB\xBF") text_.remove_prefix(3);
  }

  std::vector<CsvRecord> ReadAll(std::string* problem) {
    std::vector<CsvRecord> records;
    while (at_ < text_.size()) {
      if (EndOfLine()) continue;  // an empty line
      CsvRecord record{line_, {}};
      if (!ReadRecord(&record.fields, problem)) return records;
      records.push_back(std::move(record));
    }
    return records;
  }

 private:
  // Steps over a line end at the cursor; false when there is none.
  bool EndOfLine() {
    const size_t length = text_.compare(at_, 2, "\r\n") == 0 ? 2 : text_[at_] == '\n' ? 1 : 0;
    at_ += length;
    line_ += length ? 1 : 0;
    return length > 0;
  }

  bool ReadRecord(std::vector<std::string>* fields, std::string* problem) {
    while (true) {
      std::string field;
      if (at_ < text_.size() && text_[at_] == '"') {
        if (!ReadQuoted(&field, problem)) return false;
      } else {
        const size_t end = std::min(text_.find_first_of(",\n", at_), text_.size());
        field = text_.substr(at_, end - at_);
        at_ = end;
        // The CR of a CR LF line end is no part of the field.
        if (!field.empty() && field.back() == '\r' && at_ < text_.size() && text_[at_] == '\n') {
          field.pop_back();
          --at_;
        }
      }
      fields->push_back(std::move(field));
      if (at_ >= text_.size()) return true;
      if (text_[at_] == ',') {
        ++at_;
        continue;
      }
      EndOfLine();
      return true;
    }
  }

  bool ReadQuoted(std::string* field, std::string* problem) {
    const int opened = line_;
    ++at_;
    while (true) {
      const size_t quote = text_.find('"', at_);
      if (quote == std::string_view::npos) {
        *problem = "line " + std::to_string(opened) + ": a quoted field is not closed";
        return false;
      }
      const std::string_view part = text_.substr(at_, quote - at_);
      for (char c : part) line_ += c == '\n' ? 1 : 0;
      *field += part;
      at_ = quote + 1;
      if (at_ < text_.size() && text_[at_] == '"') {
        *field += '"';
        ++at_;
        continue;
      }
      const bool field_ends = at_ == text_.size() || text_[at_] == ',' || text_[at_] == '\n' ||
                              text_.compare(at_, 2, "\r\n") == 0;
      if (!field_ends) {
        *problem = "line " + std::to_string(line_) + ": text after the closing quote of a field";
        return false;
      }
      return true;
    }
  }

  std::string_view text_;
  size_t at_ = 0;
  int line_ = 1;
};

}  // namespace

std::string CsvField(const std::string& text) {
  const bool quote = text.find_first_of(",\"\r\n") != std::string::npos ||
                     (!text.empty() && (text.front() == ' ' || text.back() == ' '));
  if (!quote) return text;
  std::string out = "\"";
  for (char c : text) out += c == '"' ? std::string("\"\"") : std::string(1, c);
  return out + "\"";
}

std::string PrintableText(std::string text) {
  for (char& c : text) {
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = ' ';
  }
  return text;
}

void WriteCsv(RecordSet& records, std::ostream& out) {
  for (int i = 0; i < records.field_count(); ++i) {
    out << (i ? "," : "") << CsvField(PrintableText(records.field_name(i)));
  }
  out << "\n";
  if (records.record_count() == 0) return;
  for (records.MoveFirst(); !records.eof(); records.MoveNext()) {
    for (int i = 0; i < records.field_count(); ++i) {
      out << (i ? "," : "") << CsvField(PrintableText(records.field(i).ToDisplayText()));
    }
    out << "\n";
  }
}

std::vector<CsvRecord> ReadCsv(std::string_view text, std::string* problem) {
  problem->clear();
  return CsvReader(text).ReadAll(problem);
}

}  // namespace vatrix
