#include "window/picker_window.h"

#include <QDir>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace vatrix {

PickerWindow::PickerWindow(HostPicker& picker, QWidget* parent) : QDialog(parent), picker_(picker) {
  setObjectName(QStringLiteral("frmOrdovaPath"));
  setWindowTitle(QStringLiteral("Select Ordova Path"));
  list_ = new QListWidget;
  list_->setObjectName(QStringLiteral("OrdovaPath"));
  list_->installEventFilter(this);
  auto* note = new QLabel(QStringLiteral("Note : Press Enter or Double Click for Selection"));
  note->setObjectName(QStringLiteral("Label1"));
  auto* browse = new QPushButton(QStringLiteral("Browse…"));
  browse->setObjectName(QStringLiteral("cmdBrowse"));
  browse->setAutoDefault(false);
  auto* exit = new QPushButton(QStringLiteral("&Exit"));
  exit->setObjectName(QStringLiteral("cmdExit"));
  exit->setAutoDefault(false);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(note, 1);
  buttons->addWidget(browse);
  buttons->addWidget(exit);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(list_);
  layout->addLayout(buttons);
  resize(480, 240);
  connect(list_, &QListWidget::itemDoubleClicked, this,
          [this](QListWidgetItem* item) { Select(list_->row(item)); });
  connect(browse, &QPushButton::clicked, this, &PickerWindow::Browse);
  connect(exit, &QPushButton::clicked, this, [this] {
    picker_.cmdExit_Click();
    CloseWhenDone();
  });
  Refresh();
}

void PickerWindow::Refresh() {
  list_->clear();
  for (const std::string& item : picker_.items()) list_->addItem(QString::fromStdString(item));
  list_->setCurrentRow(picker_.selected());
}

void PickerWindow::Select(int row) {
  picker_.OrdovaPath_Select(row);
  CloseWhenDone();
}

void PickerWindow::Browse() {
  const QString folder = QFileDialog::getExistingDirectory(
      this, QStringLiteral("Select Ordova Path"), QString(),
      QFileDialog::ShowDirsOnly | QFileDialog::DontUseNativeDialog);
  if (folder.isEmpty()) return;
  picker_.Browse(QDir::toNativeSeparators(folder).toStdString());
  Refresh();
  CloseWhenDone();
}

void PickerWindow::CloseWhenDone() {
  if (picker_.state() == HostPicker::State::kChosen) accept();
  if (picker_.state() == HostPicker::State::kClosed) reject();
}

bool PickerWindow::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
      Select(list_->currentRow());
      return true;
    }
  }
  return QDialog::eventFilter(watched, event);
}

std::string PickHostFolder(std::vector<std::string> candidates, UserInterface& ui) {
  HostPicker picker(std::move(candidates), ui);
  picker.Load();
  if (picker.state() == HostPicker::State::kOpen) {
    PickerWindow window(picker);
    window.exec();
  }
  return picker.state() == HostPicker::State::kChosen ? picker.host_folder() : "";
}

}  // namespace vatrix
