// The company search dialog's logic without a window: the catalogue's rows filtered by the
// beginning of one column as the user types, a current row moved by keys, and the choice of a
// row handed back as its position in the company chooser.
#ifndef VATRIX_DIALOGS_COMPANY_SEARCH_H_
#define VATRIX_DIALOGS_COMPANY_SEARCH_H_

#include <functional>
#include <string>
#include <vector>

#include "hostdata/user_interface.h"

namespace vatrix {

inline constexpr char kSearchTitle[] = "Search Engine";

enum class SearchKey { kEscape, kEnd, kHome, kUp, kPageUp, kDown, kPageDown };

class CompanySearch {
 public:
  // `chosen_position` is the position chosen at the last opening (0 at the first).
  CompanySearch(std::string host_folder, UserInterface& ui, int chosen_position);

  // Lists every catalogue row in the chooser's order; the search column becomes "Name".
  // Throws HostError.
  void Load();

  // The search column's names (the catalogue's fields) and the one chosen.
  const std::vector<std::string>& columns() const { return columns_; }
  int search_column() const { return column_; }
  // Chooses another search column: the search text is cleared, which lists every row again,
  // ordered by the new column, when it held anything.
  void ChooseColumn(int index);

  // What a typed character becomes in the search text ending in `text`: nothing for an
  // apostrophe, the upper case at the start of a word, else itself.
  static std::string TypedCharacter(const std::string& text, const std::string& character);
  const std::string& search_text() const { return text_; }
  // Lists the rows whose search column starts with `text`, ignoring case. Throws HostError.
  void SetSearchText(std::string text);

  // The rows shown: the texts of the fields of each.
  const std::vector<std::vector<std::string>>& rows() const { return rows_; }
  // The current row's index in rows(), -1 when there is none.
  int current() const { return current_; }
  void SetCurrent(int row);
  // The "Record No. :" text: the current row's number, "0" when none.
  std::string record_number() const { return std::to_string(current_ + 1); }

  // Moves the current row; Escape closes the dialog without choosing.
  void Key(SearchKey key);
  // Chooses the current row: the chosen position becomes that company's chooser position and
  // the dialog closes; with no row shown, the not-found message is shown first.
  // Throws HostError.
  void Choose();

  bool closed() const { return closed_; }
  int chosen_position() const { return chosen_position_; }

  // Each column's width: the widest of its title and cells as `measure` gives them, plus
  // `padding`.
  std::vector<int> ColumnWidths(const std::function<int(const std::string&)>& measure,
                                int padding) const;

 private:
  void Query(const std::string& query);

  std::string host_folder_;
  UserInterface& ui_;
  int chosen_position_;
  std::vector<std::string> columns_;
  int column_ = 1;
  std::string text_;
  std::vector<std::vector<std::string>> rows_;
  std::vector<double> codes_;  // each shown row's Code as a number
  int current_ = -1;
  bool closed_ = false;
};

}  // namespace vatrix

#endif  // VATRIX_DIALOGS_COMPANY_SEARCH_H_
