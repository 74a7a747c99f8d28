// The company search dialog "Search Engine": the view of CompanySearch (dialogs/).
#ifndef VATRIX_WINDOW_SEARCH_DIALOG_H_
#define VATRIX_WINDOW_SEARCH_DIALOG_H_

#include <QDialog>

#include "dialogs/company_search.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QTableWidget;

namespace vatrix {

class SearchDialog : public QDialog {
  Q_OBJECT

 public:
  // Loads the catalogue (throws HostError); `chosen_position` as CompanySearch takes it.
  SearchDialog(const std::string& host_folder, UserInterface& ui, int chosen_position,
               QWidget* parent = nullptr);

  int chosen_position() const { return search_.chosen_position(); }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void BuildWidgets();
  void Refresh();
  void ShowCurrent();
  void Choose();
  void CloseWhenDone();

  CompanySearch search_;
  QComboBox* column_ = nullptr;
  QLineEdit* text_ = nullptr;
  QTableWidget* grid_ = nullptr;
  QLabel* record_no_ = nullptr;
  QLabel* total_ = nullptr;
  bool refreshing_ = false;
};

}  // namespace vatrix

#endif  // VATRIX_WINDOW_SEARCH_DIALOG_H_
