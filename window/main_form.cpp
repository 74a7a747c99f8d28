#include "window/main_form.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <algorithm>
#include <set>

namespace vatrix {

namespace {

constexpr int kKeyF1 = 112;

const std::set<Control> kCombos = {Control::kCombo1, Control::kCombo2, Control::kCombo3,
                                   Control::kCombo4, Control::kCombo5, Control::kCombo6};
const std::set<Control> kChoices = {Control::kOption1,  Control::kOption2, Control::kOption3,
                                    Control::kOption4,  Control::kOptOld,  Control::kOptNew,
                                    Control::kChkAddTax};
// Controls on which Enter moves on to the next control.
const std::set<Control> kEnterMovesOn = {
    Control::kCombo1, Control::kCombo2, Control::kCombo3,       Control::kCombo4, Control::kCombo5,
    Control::kCombo6, Control::kText1,  Control::kTxteFileName, Control::kOption1};

QStringList Items(const std::vector<std::string>& texts) {
  QStringList items;
  for (const std::string& text : texts) items << QString::fromStdString(text);
  return items;
}

QStringList Items(const std::vector<ListItem>& list) {
  QStringList items;
  for (const ListItem& item : list) items << QString::fromStdString(item.text);
  return items;
}

// A number shown on the wait panel; -1 for a resting text.
long PanelNumber(const std::string& text) {
  bool ok = false;
  const long number = QString::fromStdString(text).trimmed().toLong(&ok);
  return ok ? number : -1;
}

}  // namespace

MainForm::MainForm(MainWindow& logic, QtUi& ui, BuildThread& builds, QWidget* parent)
    : QWidget(parent), logic_(logic), ui_(ui), builds_(builds) {
  BuildWidgets();
  ConnectSignals();
  // Each form's builder runs on the build thread, its workbooks on the thread's office.
  for (const ReturnForm& form : ReturnForms()) {
    if (!form.builder) continue;
    logic_.RegisterBuilder(
        std::string(form.code),
        [this, builder = form.builder](BuildContext& context) { builds_.Run(builder, context); });
  }
  logic_.SetSpreadsheetFactory(builds_.Spreadsheets());
  connect(&ui_, &QtUi::waitPanelChanged, this, &MainForm::ShowWaitPanel);
}

void MainForm::ConnectSignals() {
  for (const auto& [control, widget] : widgets_) {
    const Control c = control;
    if (auto* combo = qobject_cast<QComboBox*>(widget)) {
      connect(combo, &QComboBox::activated, this, [this, c](int index) {
        if (!syncing_) Act([this, c, index] { logic_.ChooseItem(c, index); });
      });
    } else if (auto* box = qobject_cast<QLineEdit*>(widget)) {
      connect(box, &QLineEdit::textEdited, this,
              [this, c](const QString& text) { logic_.SetText(c, text.toStdString()); });
    } else if (auto* list = qobject_cast<QListWidget*>(widget)) {
      connect(list, &QListWidget::itemSelectionChanged, this, [this, c, list] {
        if (syncing_) return;
        for (int row = 0; row < list->count(); ++row) {
          logic_.SetListSelected(c, row, list->item(row)->isSelected());
        }
      });
      connect(list, &QListWidget::currentRowChanged, this, [this, c](int row) {
        if (!syncing_) logic_.SetListCurrent(c, row);
      });
    } else if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
      connect(button, &QAbstractButton::clicked, this, [this, c] {
        if (syncing_) return;
        // A press whose focus move was refused (a check kept the focus) clicks nothing; an
        // option or box the press changed shows its state again.
        if (refused_ == c || !Focus(c)) return Sync();
        if (c == Control::kCmd201AProceed) return Proceed();
        Act([this, c] { Click(c); });
      });
    }
  }
}

void MainForm::Click(Control control) {
  static const std::map<Control, void (MainWindow::*)()> kClicks = {
      {Control::kCmdExit, &MainWindow::cmdExit_Click},
      {Control::kCmdPath, &MainWindow::cmdPath_Click},
      {Control::kOption1, &MainWindow::Option1_Click},
      {Control::kOption2, &MainWindow::Option2_Click},
      {Control::kOption3, &MainWindow::Option3_Click},
      {Control::kOption4, &MainWindow::Option4_Click},
      {Control::kOptOld, &MainWindow::optOld_Click},
      {Control::kOptNew, &MainWindow::optNew_Click},
      {Control::kChkAddTax, &MainWindow::chkAddTax_Click}};
  const auto click = kClicks.find(control);
  if (click == kClicks.end()) return logic_.PressFormButton(control);
  (logic_.*click->second)();
}

bool MainForm::Start() {
  Act([this] { logic_.Form_Load(); });
  if (logic_.closed()) return false;
  show();
  Act([this] { logic_.Form_Activate(); });
  return !logic_.closed() && !ui_.ending();
}

void MainForm::Act(const std::function<void()>& event) {
  try {
    event();
  } catch (const ProgramEnding&) {
    // The message has been shown and the program asked to end.
  }
  if (logic_.closed() || ui_.ending()) {
    close();
    return;
  }
  Sync();
}

bool MainForm::Focus(Control control) {
  bool moved = false;
  Act([this, control, &moved] { moved = logic_.MoveFocus(control); });
  return moved;
}

void MainForm::Sync() {
  syncing_ = true;
  for (const auto& [control, widget] : widgets_) widget->setVisible(logic_.visible(control));
  SyncCombos();
  SyncLists();
  SyncChoices();
  for (Control box :
       {Control::kText1, Control::kTxteFileName, Control::kLabel2, Control::kLabel3}) {
    const QString text = QString::fromStdString(logic_.text(box));
    if (auto* edit = qobject_cast<QLineEdit*>(widgets_[box]); edit && edit->text() != text) {
      edit->setText(text);
    } else if (auto* label = qobject_cast<QLabel*>(widgets_[box])) {
      label->setText(text);
    }
  }
  for (size_t i = 0; i < ReturnForms().size(); ++i) {
    QWidget* button = widgets_[FormButtonAt(i)];
    QFont font = button->font();
    font.setBold(logic_.bold_button() == FormButtonAt(i));
    button->setFont(font);
  }
  widgets_[Control::kCmd201AProceed]->setEnabled(logic_.proceed_enabled() && !busy_);
  if (QWidget* focus = widgets_[logic_.focus()]; focus->isVisible() && !focus->hasFocus()) {
    focus->setFocus();
  }
  syncing_ = false;
}

void MainForm::SyncCombos() {
  for (Control control : kCombos) {
    auto* combo = static_cast<QComboBox*>(widgets_[control]);
    const ComboBox& state = logic_.combo(control);
    const QStringList items = Items(state.items);
    QStringList shown;
    for (int i = 0; i < combo->count(); ++i) shown << combo->itemText(i);
    if (shown != items) {
      combo->clear();
      combo->addItems(items);
    }
    combo->setCurrentIndex(state.index);
  }
}

void MainForm::SyncLists() {
  for (Control control : {Control::kList1, Control::kList2}) {
    auto* list = static_cast<QListWidget*>(widgets_[control]);
    const QStringList items =
        Items(control == Control::kList1 ? logic_.lists().list1 : logic_.lists().list2);
    QStringList shown;
    for (int i = 0; i < list->count(); ++i) shown << list->item(i)->text();
    if (shown != items) {
      list->clear();
      list->addItems(items);
    }
    for (int row = 0; row < list->count(); ++row) {
      list->item(row)->setSelected(logic_.list_selected(control, row));
    }
    list->setCurrentRow(logic_.list_current(control), QItemSelectionModel::NoUpdate);
  }
}

void MainForm::SyncChoices() {
  for (Control control : kChoices) {
    auto* button = static_cast<QAbstractButton*>(widgets_[control]);
    // An option is cleared by choosing its partner; only the chosen one is set.
    if (logic_.value(control) || control == Control::kChkAddTax) {
      button->setChecked(logic_.value(control));
    }
  }
}

bool MainForm::eventFilter(QObject* watched, QEvent* event) {
  const auto found = controls_.find(watched);
  if (found == controls_.end() || syncing_ || busy_) return QWidget::eventFilter(watched, event);
  const Control control = found->second;
  if (event->type() == QEvent::FocusIn) {
    const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
    // Focus coming back from a message box, a dialog or a drop-down is no move.
    if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason &&
        logic_.focus() != control) {
      refused_ = Focus(control) ? std::nullopt : std::optional<Control>(control);
    }
  } else if (event->type() == QEvent::KeyPress) {
    if (KeyPressed(control, static_cast<QKeyEvent*>(event)->key())) return true;
  }
  return QWidget::eventFilter(watched, event);
}

bool MainForm::KeyPressed(Control control, int key) {
  if (key == Qt::Key_F1 && control == Control::kCombo1) {
    Act([this] { logic_.Combo1_KeyDown(kKeyF1); });
    return true;
  }
  if (key != Qt::Key_Return && key != Qt::Key_Enter) return false;
  if (control == Control::kList1 || control == Control::kList2) {
    Act([this, control] { logic_.List_KeyEnter(control); });
  } else if (kEnterMovesOn.count(control)) {
    Act([this, control] { logic_.keyEnter(control); });
  } else if (auto* button = qobject_cast<QPushButton*>(widgets_[control])) {
    button->click();
  } else {
    return false;
  }
  return true;
}

void MainForm::Proceed() {
  busy_ = true;
  SetControlsEnabled(false);
  try {
    logic_.cmd201AProceed_Click();
  } catch (const ProgramEnding&) {
    // Shown; the window closes below.
  }
  busy_ = false;
  SetControlsEnabled(true);
  // A run may have ended the office; have one ready for the next.
  if (logic_.builder_ran()) builds_.StartOffice();
  Act([] {});
}

void MainForm::SetControlsEnabled(bool enabled) {
  for (const auto& [control, widget] : widgets_) widget->setEnabled(enabled);
}

void MainForm::ShowWaitPanel(const WaitPanelState& state) {
  wait_frame_->setVisible(state.visible);
  total_records_->setText(QString::fromStdString(state.total_records));
  current_records_->setText(QString::fromStdString(state.current_records));
  const long total = PanelNumber(state.total_records);
  const long current = PanelNumber(state.current_records);
  // Before the count is known the bar shows that work goes on.
  progress_->setRange(0, total > 0 ? static_cast<int>(total) : 0);
  progress_->setValue(total > 0 ? static_cast<int>(std::clamp(current, 0L, total)) : 0);
  if (state.hourglass != hourglass_) {
    hourglass_ = state.hourglass;
    if (hourglass_) {
      QApplication::setOverrideCursor(Qt::WaitCursor);
    } else {
      QApplication::restoreOverrideCursor();
    }
  }
}

void MainForm::closeEvent(QCloseEvent* event) {
  // A return being built finishes first: its file is not left half-written.
  if (busy_) {
    event->ignore();
    return;
  }
  if (!logic_.closed()) logic_.cmdExit_Click();
  event->accept();
}

}  // namespace vatrix
