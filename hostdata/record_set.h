// A static record set: every row of a query result, held in memory, with a cursor that moves
// the way the provider's static cursor does (BOF before the first row, EOF after the last).
#ifndef VATRIX_HOSTDATA_RECORD_SET_H_
#define VATRIX_HOSTDATA_RECORD_SET_H_

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "hostdata/value.h"

namespace vatrix {

class RecordSet {
 public:
  RecordSet() = default;
  // `source` names the query, for error messages. The cursor starts on the first row (at
  // BOF and EOF together when there is none).
  RecordSet(std::vector<std::string> field_names, std::vector<std::vector<Value>> rows,
            std::string source);

  // Rows visible through the current filter.
  int record_count() const { return static_cast<int>(visible_.size()); }
  bool bof() const { return position_ < 0 || visible_.empty(); }
  bool eof() const { return position_ >= record_count() || visible_.empty(); }

  void MoveFirst();
  void MoveLast();
  // Moving past the last row leaves the cursor at EOF; moving on from EOF is a misuse.
  void MoveNext();
  void MovePrevious();
  // 1-based position of the current row; 0 at BOF or EOF.
  int absolute_position() const;
  // Moves to the 1-based row `position`; throws HostError kRecordSetMisuse outside 1..count.
  void set_absolute_position(int position);

  int field_count() const { return static_cast<int>(field_names_.size()); }
  const std::string& field_name(int index) const { return field_names_.at(index); }
  // Index of the field called `name`, letter case ignored; the first such field wins.
  std::optional<int> FieldIndex(std::string_view name) const;
  // Values of the current row. Throw HostError kRecordSetMisuse at BOF/EOF, for an index out of
  // range or an unknown name.
  const Value& field(int index) const;
  const Value& field(std::string_view name) const;

  // Searches forward from the current row (included) for the first row meeting a criterion
  // "Name = value" (value quoted '...' or #...#, or a number); stops at EOF when none does.
  // Throws HostError kRecordSetMisuse for a criterion it cannot read.
  void Find(std::string_view criterion);
  // Shows only the rows meeting a criterion of the form Find takes and moves to the first of
  // them; an empty criterion shows every row again.
  void SetFilter(std::string_view criterion);

  const std::string& source() const { return source_; }

 private:
  // A criterion's value with the readings a comparison may need, made once per search.
  struct Wanted {
    explicit Wanted(Value wanted);
    Value value;
    std::optional<double> number;  // as a number, when it reads as one
    std::optional<Date> us_date;   // text read as a "m/d/yyyy" date
  };
  bool Matches(const std::vector<Value>& row, int field, const Wanted& wanted) const;
  const std::vector<Value>& current_row() const;

  std::vector<std::string> field_names_;
  std::vector<std::vector<Value>> rows_;
  std::vector<int> visible_;  // indices into rows_ that the filter lets through
  int position_ = 0;          // index into visible_
  std::string source_;
};

}  // namespace vatrix

#endif  // VATRIX_HOSTDATA_RECORD_SET_H_
