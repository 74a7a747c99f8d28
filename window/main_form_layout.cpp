// The main window's widgets, named as their controls and laid out with layouts, so the window
// scales with the screen's resolution.
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "window/main_form.h"

namespace vatrix {

namespace {

QLabel* Label(const char* name, const char* text) {
  auto* label = new QLabel(QString::fromLatin1(text));
  label->setObjectName(QString::fromLatin1(name));
  return label;
}

// A frame holding two options side by side.
QFrame* OptionFrame(QRadioButton* first, QRadioButton* second) {
  auto* frame = new QFrame;
  auto* layout = new QHBoxLayout(frame);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(first);
  layout->addWidget(second);
  layout->addStretch();
  return frame;
}

}  // namespace

template <typename Widget>
Widget* MainForm::Bind(Control control, Widget* widget, const char* name) {
  widget->setObjectName(QString::fromLatin1(name));
  widgets_[control] = widget;
  controls_[widget] = control;
  widget->installEventFilter(this);
  return widget;
}

void MainForm::BuildWidgets() {
  setObjectName(QStringLiteral("frmMain"));
  setWindowTitle(QString::fromLatin1(kAppTitle));
  auto* middle = new QHBoxLayout;
  middle->addWidget(BuildFormButtons());
  auto* right = new QVBoxLayout;
  right->addWidget(BuildPanel());
  right->addWidget(BuildWaitPanel());
  right->addStretch();
  middle->addLayout(right, 1);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(BuildTopStrip());
  layout->addLayout(middle, 1);
  // Tab and Enter follow the controls' order.
  QWidget* previous = nullptr;
  for (const auto& [control, widget] : widgets_) {
    if (widget->focusPolicy() == Qt::NoFocus) continue;
    if (previous) setTabOrder(previous, widget);
    previous = widget;
  }
}

QWidget* MainForm::BuildTopStrip() {
  auto* strip = new QWidget;
  auto* layout = new QHBoxLayout(strip);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(Label("Label1", "Select Company For Vatrix :"));
  auto* chooser = Bind(Control::kCombo1, new QComboBox, "Combo1");
  chooser->setSizeAdjustPolicy(QComboBox::AdjustToContents);
  layout->addWidget(chooser, 1);
  layout->addWidget(Label("Label11", "Press F1 for HELP"));
  layout->addWidget(
      Bind(Control::kCmdExit, new QPushButton(QStringLiteral("&Exit Program")), "cmdExit"));
  return strip;
}

QWidget* MainForm::BuildFormButtons() {
  auto* column = new QWidget;
  auto* layout = new QVBoxLayout(column);
  layout->setContentsMargins(0, 0, 0, 0);
  const auto& forms = ReturnForms();
  for (size_t i = 0; i < forms.size(); ++i) {
    const std::string name(forms[i].button);
    auto* button = new QPushButton(
        QString::fromUtf8(forms[i].caption.data(), static_cast<int>(forms[i].caption.size())));
    layout->addWidget(Bind(FormButtonAt(i), button, name.c_str()));
  }
  layout->addStretch();
  return column;
}

QFrame* MainForm::BuildPanel() {
  auto* panel = Bind(Control::kFra201A, new QFrame, "fra201A");
  panel->setFrameShape(QFrame::StyledPanel);
  auto* grid = new QGridLayout(panel);
  grid->addWidget(Label("Label16", ":: Select Return Type ::"), 0, 0);
  grid->addWidget(Bind(Control::kCombo4, new QComboBox, "Combo4"), 0, 1);
  grid->addWidget(Label("Label23", ":: Select Month / Qrtr::"), 0, 2);
  grid->addWidget(Bind(Control::kCombo6, new QComboBox, "Combo6"), 0, 3);
  grid->addWidget(Bind(Control::kLabel3, new QLabel, "Label3"), 1, 0, 1, 2);
  grid->addWidget(
      Bind(Control::kFrame1,
           OptionFrame(
               Bind(Control::kOption1, new QRadioButton(QStringLiteral("All")), "Option1"),
               Bind(Control::kOption2, new QRadioButton(QStringLiteral("Selected")), "Option2")),
           "Frame1"),
      1, 2, 1, 2);
  grid->addWidget(Bind(Control::kLabel2, new QLabel, "Label2"), 2, 0, 1, 2);
  grid->addWidget(
      Bind(Control::kFrame2,
           OptionFrame(
               Bind(Control::kOption3, new QRadioButton(QStringLiteral("Selected")), "Option3"),
               Bind(Control::kOption4, new QRadioButton(QStringLiteral("All")), "Option4")),
           "Frame2"),
      2, 2, 1, 2);
  // The two lists share one place; at most one of them shows.
  for (const auto& [control, name] :
       {std::pair{Control::kList1, "List1"}, std::pair{Control::kList2, "List2"}}) {
    auto* list = Bind(control, new QListWidget, name);
    list->setSelectionMode(QAbstractItemView::MultiSelection);
    grid->addWidget(list, 3, 0, 1, 4);
  }
  grid->addWidget(
      Bind(Control::kLblReturnType, new QLabel(QStringLiteral("Return Type")), "lblReturnType"), 4,
      0);
  grid->addWidget(
      Bind(Control::kFrame3,
           OptionFrame(
               Bind(Control::kOptOld, new QRadioButton(QStringLiteral("Old Type")), "optOld"),
               Bind(Control::kOptNew, new QRadioButton(QStringLiteral("Macro Based")), "optNew")),
           "Frame3"),
      4, 1, 1, 3);
  grid->addWidget(
      Bind(Control::kChkAddTax,
           new QCheckBox(QStringLiteral("Bill Amount instead of Taxable+Tax Amount")), "chkAddTax"),
      5, 0, 1, 4);
  grid->addWidget(
      Bind(Control::kLabel7, new QLabel(QStringLiteral("Select State Field :")), "Label7"), 6, 0);
  grid->addWidget(Bind(Control::kCombo3, new QComboBox, "Combo3"), 6, 1);
  grid->addWidget(
      Bind(Control::kLabel10, new QLabel(QStringLiteral("Use Stock Date : ")), "Label10"), 6, 2);
  grid->addWidget(Bind(Control::kCombo5, new QComboBox, "Combo5"), 6, 3);
  grid->addWidget(Label("Label4", ":: Set Vatrix Directory ::"), 7, 0);
  grid->addWidget(Bind(Control::kText1, new QLineEdit, "Text1"), 7, 1, 1, 2);
  grid->addWidget(
      Bind(Control::kCmdPath, new QPushButton(QStringLiteral("Get Directory")), "cmdPath"), 7, 3);
  grid->addWidget(Label("Label5", ":: Enter File Name ::"), 8, 0);
  grid->addWidget(Bind(Control::kTxteFileName, new QLineEdit, "txteFileName"), 8, 1, 1, 3);
  grid->addWidget(Label("Label6", "File Type : "), 9, 0);
  grid->addWidget(Bind(Control::kCombo2, new QComboBox, "Combo2"), 9, 1);
  grid->addWidget(Bind(Control::kCmd201AProceed, new QPushButton(QStringLiteral(">> &Proceed")),
                       "cmd201AProceed"),
                  9, 3);
  return panel;
}

QFrame* MainForm::BuildWaitPanel() {
  wait_frame_ = new QFrame;
  wait_frame_->setObjectName(QStringLiteral("fraWait"));
  wait_frame_->setFrameShape(QFrame::StyledPanel);
  auto* grid = new QGridLayout(wait_frame_);
  grid->addWidget(Label("lblWait", "Please wait while processing....."), 0, 0, 1, 2);
  grid->addWidget(Label("Label8", "Total Records :"), 1, 0);
  total_records_ = Label("lblTotalRec", "<Total Records>");
  grid->addWidget(total_records_, 1, 1);
  grid->addWidget(Label("Label9", "Current Records :"), 2, 0);
  current_records_ = Label("lblCurRec", "<Cur.Records>");
  grid->addWidget(current_records_, 2, 1);
  progress_ = new QProgressBar;
  progress_->setObjectName(QStringLiteral("prgWait"));
  grid->addWidget(progress_, 3, 0, 1, 2);
  wait_frame_->hide();
  return wait_frame_;
}

}  // namespace vatrix
