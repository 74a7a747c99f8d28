#include "app/batch_summary.h"

#include <algorithm>
#include <array>
#include <cstdio>

#include "app/record_csv.h"

namespace vatrix {

namespace {

constexpr std::array<const char*, 8> kColumns = {"line", "company", "form",    "period",
                                                 "file", "status",  "seconds", "message"};

std::string SecondsText(double seconds) {
  char text[32];
  std::snprintf(text, sizeof text, "%.2f", seconds);
  return text;
}

std::array<std::string, 8> Cells(const JobOutcome& outcome) {
  return {std::to_string(outcome.line),
          outcome.company,
          outcome.form,
          outcome.period,
          PrintableText(outcome.file),
          outcome.succeeded ? "ok" : "failed",
          SecondsText(outcome.seconds),
          PrintableText(outcome.message)};
}

// `text` as a JSON string: quotes, backslashes and control characters escaped.
std::string JsonString(const std::string& text) {
  std::string out = "\"";
  for (const char c : text) {
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (static_cast<unsigned char>(c) < 0x20) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
      out += escaped;
    } else {
      out += c;
    }
  }
  return out + "\"";
}

}  // namespace

void WriteSummaryTable(const std::vector<JobOutcome>& outcomes, std::ostream& out) {
  std::vector<std::array<std::string, 8>> rows;
  rows.push_back({});
  std::copy(kColumns.begin(), kColumns.end(), rows[0].begin());
  for (const JobOutcome& outcome : outcomes) rows.push_back(Cells(outcome));
  std::array<size_t, 8> widths{};
  for (const auto& row : rows) {
    for (size_t i = 0; i < row.size(); ++i) widths[i] = std::max(widths[i], row[i].size());
  }
  for (const auto& row : rows) {
    std::string line;
    for (size_t i = 0; i + 1 < row.size(); ++i)
      line += row[i] + std::string(widths[i] - row[i].size() + 2, ' ');
    out << line + row.back() << "\n";
  }
}

std::string SummaryCsv(const std::vector<JobOutcome>& outcomes) {
  std::string csv;
  for (size_t i = 0; i < kColumns.size(); ++i) csv += std::string(i ? "," : "") + kColumns[i];
  csv += "\n";
  for (const JobOutcome& outcome : outcomes) {
    const auto cells = Cells(outcome);
    for (size_t i = 0; i < cells.size(); ++i) csv += (i ? "," : "") + CsvField(cells[i]);
    csv += "\n";
  }
  return csv;
}

std::string SummaryJson(const std::vector<JobOutcome>& outcomes) {
  std::string json = "[";
  for (size_t row = 0; row < outcomes.size(); ++row) {
    const auto cells = Cells(outcomes[row]);
    json += row ? ",\n  {" : "\n  {";
    for (size_t i = 0; i < cells.size(); ++i) {
      const bool number =
          kColumns[i] == std::string("line") || kColumns[i] == std::string("seconds");
      json += std::string(i ? ", " : "") + JsonString(kColumns[i]) + ": " +
              (number ? cells[i] : JsonString(cells[i]));
    }
    json += "}";
  }
  return json + (outcomes.empty() ? "]\n" : "\n]\n");
}

}  // namespace vatrix
