#include "app/console_ui.h"

#include <string>

namespace vatrix {

namespace {

// Message text on one line: CR LF, CR or LF each shown as " / ".
std::string OneLine(const std::string& text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' || text[i] == '\n') {
      out += " / ";
      if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    } else {
      out += text[i];
    }
  }
  return out;
}

}  // namespace

MessageAnswer ConsoleUi::ShowMessage(const Message& message) {
  const bool problem =
      message.icon == MessageIcon::kCritical || message.icon == MessageIcon::kExclamation;
  failed_ = failed_ || problem;
  (problem ? err_ : out_) << message.title << ": " << OneLine(message.text) << std::endl;
  if (message.buttons == MessageButtons::kYesNo) return MessageAnswer::kNo;
  return MessageAnswer::kOk;
}

}  // namespace vatrix
