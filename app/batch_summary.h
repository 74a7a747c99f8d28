// What a batch did, job by job: the table printed at its end, and the same as CSV or JSON.
#ifndef VATRIX_APP_BATCH_SUMMARY_H_
#define VATRIX_APP_BATCH_SUMMARY_H_

#include <ostream>
#include <string>
#include <vector>

namespace vatrix {

struct JobOutcome {
  int line = 0;         // of JOBS.csv
  std::string company;  // "0007"
  std::string form;     // "201A"
  std::string period;   // "Quaterly 02.Quarter"
  std::string file;     // the output file ("" when the job stopped before naming one)
  bool succeeded = false;
  double seconds = 0;
  std::string message;  // the messages the job showed, on one line
};

// A table with a header row, columns padded to their widest text, the message last.
void WriteSummaryTable(const std::vector<JobOutcome>& outcomes, std::ostream& out);

// The summary as CSV: the header line "line,company,form,period,file,status,seconds,message",
// then one record per job; status is "ok" or "failed".
std::string SummaryCsv(const std::vector<JobOutcome>& outcomes);

// The summary as a JSON array of objects with the CSV's column names (line and seconds as
// numbers, the rest as strings).
std::string SummaryJson(const std::vector<JobOutcome>& outcomes);

}  // namespace vatrix

#endif  // VATRIX_APP_BATCH_SUMMARY_H_
