#include "app/record_csv.h"

namespace vatrix {

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

}  // namespace vatrix
