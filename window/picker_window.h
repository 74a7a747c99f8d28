// The installation picker "Select Ordova Path" on the desktop: the view of HostPicker, with a
// "Browse…" button for an installation in any folder.
#ifndef VATRIX_WINDOW_PICKER_WINDOW_H_
#define VATRIX_WINDOW_PICKER_WINDOW_H_

#include <QDialog>

#include "app/host_picker.h"

class QListWidget;

namespace vatrix {

class PickerWindow : public QDialog {
  Q_OBJECT

 public:
  // `picker` has been loaded and is open.
  explicit PickerWindow(HostPicker& picker, QWidget* parent = nullptr);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void Select(int row);
  void Browse();
  void Refresh();
  void CloseWhenDone();

  HostPicker& picker_;
  QListWidget* list_ = nullptr;
};

// Runs the picker from `candidates`: the chosen installation folder, or "" when the program
// is to end.
std::string PickHostFolder(std::vector<std::string> candidates, UserInterface& ui);

}  // namespace vatrix

#endif  // VATRIX_WINDOW_PICKER_WINDOW_H_
