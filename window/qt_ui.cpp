#include "window/qt_ui.h"

#include <QMessageBox>
#include <QThread>

namespace vatrix {

namespace {

QMessageBox::Icon BoxIcon(MessageIcon icon) {
  switch (icon) {
    case MessageIcon::kCritical:
      return QMessageBox::Critical;
    case MessageIcon::kExclamation:
      return QMessageBox::Warning;
    case MessageIcon::kInformation:
      return QMessageBox::Information;
    case MessageIcon::kQuestion:
      return QMessageBox::Question;
    case MessageIcon::kNone:
      break;
  }
  return QMessageBox::NoIcon;
}

}  // namespace

template <typename Call>
void QtUi::OnWindowThread(Call call, bool wait) {
  if (QThread::currentThread() == thread()) {
    call();
  } else {
    QMetaObject::invokeMethod(this, call,
                              wait ? Qt::BlockingQueuedConnection : Qt::QueuedConnection);
  }
}

QString QtUi::BoxText(const std::string& text) {
  QString box = QString::fromStdString(text);
  box.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  box.replace(QLatin1Char('\r'), QLatin1Char('\n'));
  return box;
}

MessageAnswer QtUi::ShowMessage(const Message& message) {
  MessageAnswer answer = MessageAnswer::kOk;
  OnWindowThread([&] { answer = Ask(message); }, true);
  return answer;
}

void QtUi::ShowWaitPanel(const WaitPanelState& state) {
  OnWindowThread([this, state] { emit waitPanelChanged(state); }, false);
}

MessageAnswer QtUi::Ask(const Message& message) {
  const bool question = message.buttons == MessageButtons::kYesNo;
  QMessageBox box(BoxIcon(message.icon), QString::fromStdString(message.title),
                  BoxText(message.text),
                  question ? QMessageBox::Yes | QMessageBox::No : QMessageBox::Ok, parent_);
  const int pressed = box.exec();
  if (!question) return MessageAnswer::kOk;
  return pressed == QMessageBox::Yes ? MessageAnswer::kYes : MessageAnswer::kNo;
}

}  // namespace vatrix
