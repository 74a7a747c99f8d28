#include "app/batch_jobs.h"

#include <algorithm>
#include <filesystem>
#include <map>
#include <optional>
#include <set>
#include <utility>

#include "app/company_catalogue.h"
#include "app/output_naming.h"
#include "app/periods.h"
#include "app/record_csv.h"
#include "hostdata/host_error.h"
#include "hostdata/text.h"

namespace vatrix {

namespace {

// The year of a "dd/MM/yyyy" date text, "" when it has none.
std::string YearOf(const std::string& date) { return date.size() == 10 ? date.substr(6) : ""; }

class JobReader {
 public:
  JobReader(const ExportOptions& defaults, std::vector<std::string>* problems)
      : defaults_(defaults), problems_(problems) {}

  void ReadHeader(const CsvRecord& header) {
    for (const std::string& field : header.fields) {
      const std::string name(Trim(field));
      const bool known = ExportOptionNames().count(name) && name != "master" && name != "ini";
      if (!known) {
        Problem(header.line, "unknown column \"" + name + "\"");
      } else if (std::find(columns_.begin(), columns_.end(), name) != columns_.end()) {
        Problem(header.line, "column \"" + name + "\" comes twice");
      }
      columns_.push_back(known ? name : "");  // the cells of an unknown column are left out
    }
  }

  void ReadRow(const CsvRecord& row) {
    if (row.fields.size() > columns_.size()) {
      Problem(row.line, std::to_string(row.fields.size()) + " fields, but the header names " +
                            std::to_string(columns_.size()) + " columns");
      return;
    }
    ExportOptions options = defaults_;
    bool blank = true;
    for (size_t i = 0; i < row.fields.size(); ++i) {
      const std::string value(Trim(row.fields[i]));
      blank = blank && value.empty();
      if (value.empty() || columns_[i].empty()) continue;
      if (columns_[i] != "bill-amount") {
        options[columns_[i]] = value;
      } else if (IndexOf({"yes", "true", "1", "x"}, value, true)) {
        options["bill-amount"] = "";
      } else if (!IndexOf({"no", "false", "0"}, value, true)) {
        Problem(row.line, "bill-amount takes yes or no, not \"" + value + "\"");
        return;
      }
    }
    if (blank) return;
    options = WithCanonicalValues(std::move(options));
    const bool own_out = HasOwnOut(row);
    if (!EqualsIgnoreCase(OptionValue(options, "company"), "all")) {
      Add(row.line, std::move(options), own_out);
      return;
    }
    const std::vector<std::string>* catalogue = CatalogueOf(options, row.line);
    for (size_t i = 0; catalogue && i < catalogue->size(); ++i) {
      options["company"] = std::to_string(ChooserItemCode((*catalogue)[i]));
      Add(row.line, options, own_out);
    }
  }

  // Places the outputs of the jobs read and checks them against each other.
  std::vector<BatchJob> Finish() {
    std::set<std::pair<std::string, std::string>> companies;
    for (const BatchJob& job : jobs_) {
      companies.emplace(HostFolderText(OptionValue(job.options, "host")), job.company);
    }
    std::map<std::string, int> writers;  // output file -> the first line writing it
    for (size_t i = 0; i < jobs_.size(); ++i) {
      BatchJob& job = jobs_[i];
      if (companies.size() > 1 && !own_out_[i] && !PlaceInSubfolder(job)) continue;
      const std::filesystem::path out = OptionValue(job.options, "out");
      const std::filesystem::path folder = job.makes_out ? out.parent_path() : out;
      std::error_code error;
      if (!std::filesystem::is_directory(folder, error)) {
        Problem(job.line, "the output folder " + folder.string() + " does not exist");
        continue;
      }
      job.file = OutputFile(job);
      const std::string key = (std::filesystem::weakly_canonical(out, error) /
                               std::filesystem::path(job.file).filename())
                                  .string();
      const auto [first, added] = writers.emplace(key, job.line);
      if (!added && !job.file.empty()) {
        Problem(job.line,
                "writes " + job.file + ", as line " + std::to_string(first->second) + " does");
      }
    }
    if (!problems_->empty()) return {};
    return std::move(jobs_);
  }

 private:
  bool HasOwnOut(const CsvRecord& row) const {
    for (size_t i = 0; i < row.fields.size(); ++i) {
      if (columns_[i] == "out" && !Trim(row.fields[i]).empty()) return true;
    }
    return false;
  }

  void Add(int line, ExportOptions options, bool own_out) {
    BatchJob job;
    job.line = line;
    job.options = std::move(options);
    try {
      CheckExportOptions(job.options);
    } catch (const BadArguments& problem) {
      Problem(line, problem.what());
      return;
    }
    if (!CheckPeriod(&job) || !CheckCompany(&job)) return;
    jobs_.push_back(std::move(job));
    own_out_.push_back(own_out);
  }

  bool CheckPeriod(BatchJob* job) {
    const ReturnForm& form = *FindReturnForm(OptionValue(job->options, "form"));
    const std::string type = OptionValue(job->options, "type");
    const std::vector<std::string> types(form.return_types.begin(), form.return_types.end());
    if (!IndexOf(types, type)) {
      Problem(job->line, "form " + std::string(form.code) + " offers no return type \"" + type +
                             "\" (it offers " + Joined(types) + ")");
      return false;
    }
    const std::vector<std::string> items = PeriodItems(type);
    const auto index = PeriodItemIndex(items, OptionValue(job->options, "period"));
    if (!index) {
      Problem(job->line, "return type " + type + " has no period \"" +
                             OptionValue(job->options, "period") + "\" (it has " + Joined(items) +
                             ")");
      return false;
    }
    job->period = type + " " + items[*index];
    return true;
  }

  bool CheckCompany(BatchJob* job) {
    const std::vector<std::string>* catalogue = CatalogueOf(job->options, job->line);
    if (!catalogue) return false;
    const std::string code = OptionValue(job->options, "company");
    const auto number = WholeNumber(code);
    for (const std::string& item : *catalogue) {
      if (number && ChooserItemCode(item) == *number) {
        job->company = item.substr(0, item.find(" | "));
        return true;
      }
    }
    Problem(job->line, "no company with code " + code + " in the catalogue of " +
                           HostFolderText(OptionValue(job->options, "host")));
    return false;
  }

  // The chooser's items of the job's installation, read once; nullptr after its problem.
  const std::vector<std::string>* CatalogueOf(const ExportOptions& options, int line) {
    const std::string host = HostFolderText(OptionValue(options, "host"));
    if (host.empty()) {
      Problem(line, "export needs --host");
      return nullptr;
    }
    auto found = catalogues_.find(host);
    if (found == catalogues_.end()) {
      std::optional<std::vector<std::string>> items;
      try {
        std::vector<std::string> left_out;
        items = CatalogueChooserItems(host, &left_out);
      } catch (const HostError& error) {
        unreadable_[host] = error.description() + " " + error.source();
      }
      found = catalogues_.emplace(host, std::move(items)).first;
    }
    if (!found->second) {
      Problem(line, "the company catalogue of " + host + " cannot be read: " + unreadable_[host]);
      return nullptr;
    }
    return &*found->second;
  }

  bool PlaceInSubfolder(BatchJob& job) {
    CompanyRecord record;
    try {
      ReadCompany(HostFolderText(OptionValue(job.options, "host")),
                  *WholeNumber(OptionValue(job.options, "company")), &record);
    } catch (const HostError& error) {
      Problem(job.line, "the financial year of company " + job.company +
                            " cannot be read: " + error.description());
      return false;
    }
    const std::string to = YearOf(record.YearTo);
    const std::string folder =
        job.company + " " + YearOf(record.YearFrom) + "-" + (to.size() == 4 ? to.substr(2) : to);
    job.options["out"] = (std::filesystem::path(OptionValue(job.options, "out")) / folder).string();
    job.makes_out = true;
    return true;
  }

  static std::string OutputFile(const BatchJob& job) {
    const ExportOptions& options = job.options;
    const ReturnForm& form = *FindReturnForm(OptionValue(options, "form"));
    const std::string type = OptionValue(options, "type");
    std::optional<std::string> name;
    if (options.count("name")) {
      name = OptionValue(options, "name");
    } else {
      name = DefaultFileName(form.code, type, job.period.substr(type.size() + 1));
    }
    const std::string file_type = OutputFileType(options, form);
    if (!name || file_type.empty()) return "";
    return (std::filesystem::path(OptionValue(options, "out")) / (*name + file_type)).string();
  }

  void Problem(int line, const std::string& what) {
    problems_->push_back("line " + std::to_string(line) + ": " + what);
  }

  const ExportOptions& defaults_;
  std::vector<std::string>* problems_;
  std::vector<std::string> columns_;
  std::vector<BatchJob> jobs_;
  std::vector<bool> own_out_;  // by job: its out comes from its own line
  std::map<std::string, std::optional<std::vector<std::string>>> catalogues_;
  std::map<std::string, std::string> unreadable_;
};

}  // namespace

std::vector<BatchJob> ReadBatchJobs(std::string_view text, const ExportOptions& defaults,
                                    std::vector<std::string>* problems) {
  std::string csv_problem;
  const std::vector<CsvRecord> records = ReadCsv(text, &csv_problem);
  if (!csv_problem.empty()) problems->push_back(csv_problem);
  if (records.empty()) {
    if (csv_problem.empty()) problems->push_back("line 1: no header line");
    return {};
  }
  JobReader reader(defaults, problems);
  reader.ReadHeader(records[0]);
  for (size_t i = 1; i < records.size(); ++i) reader.ReadRow(records[i]);
  std::vector<BatchJob> jobs = reader.Finish();
  if (jobs.empty() && problems->empty()) problems->push_back("no job follows the header line");
  return jobs;
}

std::vector<size_t> WorkOrder(const std::vector<BatchJob>& jobs) {
  std::vector<std::pair<std::string, std::string>> groups;  // host and company, by first job
  std::vector<size_t> group_of;
  for (const BatchJob& job : jobs) {
    const std::pair<std::string, std::string> key(HostFolderText(OptionValue(job.options, "host")),
                                                  job.company);
    const auto found = std::find(groups.begin(), groups.end(), key);
    group_of.push_back(found - groups.begin());
    if (found == groups.end()) groups.push_back(key);
  }
  std::vector<size_t> order;
  for (size_t group = 0; group < groups.size(); ++group) {
    for (size_t i = 0; i < jobs.size(); ++i) {
      if (group_of[i] == group) order.push_back(i);
    }
  }
  return order;
}

}  // namespace vatrix
