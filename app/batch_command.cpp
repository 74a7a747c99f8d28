#include "app/batch_command.h"

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

#include "app/batch_jobs.h"
#include "app/batch_summary.h"
#include "app/console_ui.h"
#include "app/export_command.h"
#include "hostdata/host_error.h"
#include "workbook/atomic_output.h"

namespace vatrix {

namespace {

constexpr std::uintmax_t kLargestJobList = 16 << 20;

std::string ReadJobList(const std::string& path) {
  std::error_code error;
  if (!std::filesystem::is_regular_file(path, error)) {
    throw BadArguments("the job list " + path + " does not exist or is not a file");
  }
  if (std::filesystem::file_size(path, error) > kLargestJobList) {
    throw BadArguments("the job list " + path + " is larger than 16 MiB");
  }
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  if (!(text << in.rdbuf()) && in.peek() != EOF) {
    throw BadArguments("the job list " + path + " cannot be read");
  }
  return text.str();
}

void CheckSummaryFile(const std::string& path) {
  if (path.empty()) return;
  std::error_code error;
  if (std::filesystem::exists(std::filesystem::symlink_status(path, error))) {
    throw BadArguments("--summary: " + path + " exists already; a summary never replaces a file");
  }
  const std::filesystem::path folder = std::filesystem::path(path).parent_path();
  if (!folder.empty() && !std::filesystem::is_directory(folder, error)) {
    throw BadArguments("--summary: the folder " + folder.string() + " does not exist");
  }
}

// The lines of `text` joined with " | ".
std::string OneLine(const std::string& text) {
  std::string joined;
  std::istringstream lines(text);
  for (std::string line; std::getline(lines, line);) {
    if (!line.empty()) joined += (joined.empty() ? "" : " | ") + line;
  }
  return joined;
}

// Runs one job with a front end that keeps its messages for the summary.
JobOutcome RunJob(const BatchJob& job, const std::string& label, std::ostream* terminal,
                  const SpreadsheetFactory& spreadsheets) {
  JobOutcome outcome;
  outcome.line = job.line;
  outcome.company = job.company;
  outcome.form = OptionValue(job.options, "form");
  outcome.period = job.period;
  outcome.file = job.file;
  std::ostringstream shown, problems;
  ConsoleUi ui(shown, problems, OptionValue(job.options, "april-shift") == "yes", terminal, "");
  ui.set_progress_label(label + ": ");
  const auto start = std::chrono::steady_clock::now();
  try {
    std::error_code error;
    if (job.makes_out) std::filesystem::create_directory(OptionValue(job.options, "out"), error);
    const ExportResult result = RunCheckedExport(job.options, ui, spreadsheets);
    outcome.succeeded = result.status == 0;
    if (!result.file.empty()) outcome.file = result.file;
  } catch (const BadArguments& problem) {
    problems << problem.what() << "\n";
  } catch (const ProgramEnding&) {
    // its message is shown already
  } catch (const std::exception& problem) {
    problems << problem.what() << "\n";
  }
  outcome.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  outcome.message = OneLine(outcome.succeeded ? shown.str() : problems.str() + shown.str());
  return outcome;
}

// False after saying why the file could not be written.
bool WriteSummaryFile(const std::string& path, const std::vector<JobOutcome>& outcomes,
                      std::ostream& err) {
  const bool json = path.size() >= 5 && path.compare(path.size() - 5, 5, ".json") == 0;
  try {
    WriteNewFile(path, json ? SummaryJson(outcomes) : SummaryCsv(outcomes));
    return true;
  } catch (const HostError& error) {
    err << "vatrix-cli: --summary: " << error.description() << " " << error.source() << std::endl;
    return false;
  }
}

}  // namespace

int RunBatchCommand(const std::string& jobs_file, const ExportOptions& defaults,
                    const std::string& summary_file, std::ostream& out, std::ostream& err,
                    std::ostream* terminal, SpreadsheetFactory spreadsheets,
                    const std::function<void()>& start_office) {
  CheckSummaryFile(summary_file);
  std::vector<std::string> problems;
  const std::vector<BatchJob> jobs = ReadBatchJobs(ReadJobList(jobs_file), defaults, &problems);
  if (!problems.empty()) {
    std::string text;
    for (const std::string& problem : problems) {
      text += (text.empty() ? "" : "\n") + jobs_file + ": " + problem;
    }
    throw BadArguments(text);
  }
  const bool workbooks = std::any_of(jobs.begin(), jobs.end(), [](const BatchJob& job) {
    return std::filesystem::path(job.file).extension() == ".xls";
  });
  if (workbooks && start_office) start_office();
  std::vector<JobOutcome> outcomes(jobs.size());
  const std::vector<size_t> order = WorkOrder(jobs);
  for (size_t k = 0; k < order.size(); ++k) {
    const BatchJob& job = jobs[order[k]];
    const std::string label = "job " + std::to_string(k + 1) + " of " +
                              std::to_string(order.size()) + " (line " + std::to_string(job.line) +
                              "): " + job.company + " " + OptionValue(job.options, "form") + " " +
                              job.period;
    if (terminal) *terminal << "\r\033[K" << label << std::flush;
    outcomes[order[k]] = RunJob(job, label, terminal, spreadsheets);
    const JobOutcome& outcome = outcomes[order[k]];
    if (!terminal) {
      err << label << ": " << (outcome.succeeded ? "ok" : "failed") << std::endl;
    }
  }
  if (terminal) *terminal << "\r\033[K" << std::flush;
  WriteSummaryTable(outcomes, out);
  if (!summary_file.empty() && !WriteSummaryFile(summary_file, outcomes, err)) return 1;
  for (const JobOutcome& outcome : outcomes) {
    if (!outcome.succeeded) return 1;
  }
  return 0;
}

}  // namespace vatrix
