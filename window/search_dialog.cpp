#include "window/search_dialog.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <map>

namespace vatrix {

namespace {

// The grid's cell margin: 200 twips.
int CellPadding(const QWidget& widget) { return widget.logicalDpiX() * 200 / 1440; }

QLabel* Label(const QString& name, const QString& text) {
  auto* label = new QLabel(text);
  label->setObjectName(name);
  return label;
}

QPushButton* Button(const QString& name, const QString& text) {
  auto* button = new QPushButton(text);
  button->setObjectName(name);
  return button;
}

}  // namespace

SearchDialog::SearchDialog(const std::string& host_folder, UserInterface& ui, int chosen_position,
                           QWidget* parent)
    : QDialog(parent), search_(host_folder, ui, chosen_position) {
  setObjectName(QStringLiteral("frmSearch"));
  setWindowTitle(QString::fromLatin1(kSearchTitle));
  search_.Load();
  BuildWidgets();
  refreshing_ = true;
  for (const std::string& column : search_.columns()) {
    column_->addItem(QString::fromStdString(column));
  }
  column_->setCurrentIndex(search_.search_column());
  refreshing_ = false;
  Refresh();
}

void SearchDialog::BuildWidgets() {
  column_ = new QComboBox;
  column_->setObjectName(QStringLiteral("Combo1"));
  text_ = new QLineEdit;
  text_->setObjectName(QStringLiteral("Text1"));
  auto* select = Button(QStringLiteral("cmdSelect"), QStringLiteral("&Select"));
  select->setAutoDefault(false);
  grid_ = new QTableWidget;
  grid_->setObjectName(QStringLiteral("DataGrid1"));
  grid_->setSelectionBehavior(QAbstractItemView::SelectRows);
  grid_->setSelectionMode(QAbstractItemView::SingleSelection);
  grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  grid_->verticalHeader()->hide();
  record_no_ = Label(QStringLiteral("lblRecordNo"), QStringLiteral("0"));
  total_ = Label(QStringLiteral("lblTotalRecord"), QStringLiteral("0"));

  auto* top = new QHBoxLayout;
  top->addWidget(Label(QStringLiteral("Label1"), QStringLiteral("Search By :")));
  top->addWidget(column_, 2);
  top->addWidget(Label(QStringLiteral("Label2"), QStringLiteral("Search Text :")));
  top->addWidget(text_, 3);
  top->addWidget(select);
  auto* bottom = new QHBoxLayout;
  // The catalogue is only read here: adding, editing and deleting are not offered.
  for (const auto& [name, caption] : {std::pair{"cmdAdd", "&Add"}, std::pair{"cmdEdit", "&Edit"},
                                      std::pair{"cmdDelete", "&Delete"}}) {
    auto* button = Button(QString::fromLatin1(name), QString::fromLatin1(caption));
    button->setEnabled(false);
    button->setAutoDefault(false);
    bottom->addWidget(button);
  }
  bottom->addStretch();
  bottom->addWidget(Label(QStringLiteral("Label3"), QStringLiteral("Record No. :")));
  bottom->addWidget(record_no_);
  bottom->addWidget(Label(QStringLiteral("Label4"), QStringLiteral("Of :")));
  bottom->addWidget(total_);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addWidget(grid_);
  layout->addLayout(bottom);
  resize(672, 344);

  text_->installEventFilter(this);
  grid_->installEventFilter(this);
  connect(column_, &QComboBox::activated, this, [this](int index) {
    search_.ChooseColumn(index);
    refreshing_ = true;
    text_->setText(QString::fromStdString(search_.search_text()));
    refreshing_ = false;
    Refresh();
  });
  connect(text_, &QLineEdit::textChanged, this, [this](const QString& text) {
    if (refreshing_) return;
    search_.SetSearchText(text.toStdString());
    Refresh();
  });
  connect(select, &QPushButton::clicked, this, &SearchDialog::Choose);
  connect(grid_, &QTableWidget::cellDoubleClicked, this, &SearchDialog::Choose);
  connect(grid_, &QTableWidget::currentCellChanged, this, [this](int row) {
    if (refreshing_) return;
    search_.SetCurrent(row);
    record_no_->setText(QString::fromStdString(search_.record_number()));
  });
}

void SearchDialog::Refresh() {
  refreshing_ = true;
  const auto& rows = search_.rows();
  grid_->clear();
  grid_->setColumnCount(static_cast<int>(search_.columns().size()));
  grid_->setRowCount(static_cast<int>(rows.size()));
  QStringList titles;
  for (const std::string& column : search_.columns()) titles << QString::fromStdString(column);
  grid_->setHorizontalHeaderLabels(titles);
  for (int row = 0; row < static_cast<int>(rows.size()); ++row) {
    for (int column = 0; column < static_cast<int>(rows[row].size()); ++column) {
      grid_->setItem(row, column, new QTableWidgetItem(QString::fromStdString(rows[row][column])));
    }
  }
  const QFontMetrics metrics(grid_->font());
  const auto widths = search_.ColumnWidths(
      [&](const std::string& text) {
        return metrics.horizontalAdvance(QString::fromStdString(text));
      },
      CellPadding(*grid_));
  for (int column = 0; column < static_cast<int>(widths.size()); ++column) {
    grid_->setColumnWidth(column, widths[column]);
  }
  total_->setText(QString::number(rows.size()));
  refreshing_ = false;
  ShowCurrent();
}

void SearchDialog::ShowCurrent() {
  refreshing_ = true;
  if (search_.current() >= 0) grid_->setCurrentCell(search_.current(), 0);
  record_no_->setText(QString::fromStdString(search_.record_number()));
  refreshing_ = false;
}

void SearchDialog::Choose() {
  search_.Choose();
  CloseWhenDone();
}

void SearchDialog::CloseWhenDone() {
  if (search_.closed()) done(QDialog::Accepted);
}

bool SearchDialog::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::KeyPress) return QDialog::eventFilter(watched, event);
  auto* key = static_cast<QKeyEvent*>(event);
  static const std::map<int, SearchKey> kMoves = {
      {Qt::Key_Escape, SearchKey::kEscape},    {Qt::Key_End, SearchKey::kEnd},
      {Qt::Key_Home, SearchKey::kHome},        {Qt::Key_Up, SearchKey::kUp},
      {Qt::Key_PageUp, SearchKey::kPageUp},    {Qt::Key_Down, SearchKey::kDown},
      {Qt::Key_PageDown, SearchKey::kPageDown}};
  if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
    Choose();
    return true;
  }
  if (const auto move = kMoves.find(key->key()); move != kMoves.end()) {
    search_.Key(move->second);
    ShowCurrent();
    CloseWhenDone();
    return true;
  }
  if (watched == text_ && !key->text().isEmpty() && key->text().at(0).isPrint()) {
    const std::string before = text_->text().left(text_->cursorPosition()).toStdString();
    text_->insert(
        QString::fromStdString(CompanySearch::TypedCharacter(before, key->text().toStdString())));
    return true;
  }
  return QDialog::eventFilter(watched, event);
}

}  // namespace vatrix
