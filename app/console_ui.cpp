#include "app/console_ui.h"

#include <unistd.h>

#include <iostream>
#include <string>

#include "app/record_csv.h"

namespace vatrix {

namespace {

// Message text on one line: CR LF, CR or LF each shown as " / ", other control characters
// (from table data a message quotes) as blanks.
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
  return PrintableText(out);
}

bool IsNumber(const std::string& text) {
  return !text.empty() && text.find_first_not_of("0123456789") == std::string::npos;
}

}  // namespace

MessageAnswer ConsoleUi::ShowMessage(const Message& message) {
  ClearProgress();
  const bool problem =
      message.icon == MessageIcon::kCritical || message.icon == MessageIcon::kExclamation;
  failed_ = failed_ || problem;
  (problem ? err_ << error_prefix_ : out_)
      << message.title << ": " << OneLine(message.text) << std::endl;
  return message.buttons == MessageButtons::kYesNo ? Answer() : MessageAnswer::kOk;
}

MessageAnswer ConsoleUi::Answer() {
  if (answer_) return *answer_ ? MessageAnswer::kYes : MessageAnswer::kNo;
  if (!isatty(STDIN_FILENO)) return MessageAnswer::kNo;
  err_ << "Yes or No? " << std::flush;
  std::string reply;
  std::getline(std::cin, reply);
  return !reply.empty() && (reply[0] == 'y' || reply[0] == 'Y') ? MessageAnswer::kYes
                                                                : MessageAnswer::kNo;
}

void ConsoleUi::ShowWaitPanel(const WaitPanelState& state) {
  if (!progress_) return;
  ClearProgress();
  if (!state.visible) return;
  *progress_ << progress_label_ << "Please wait while processing.....";
  if (IsNumber(state.total_records)) *progress_ << " Total Records : " << state.total_records;
  if (IsNumber(state.current_records)) {
    *progress_ << "  Current Records : " << state.current_records;
  }
  *progress_ << std::flush;
  drawn_ = true;
}

void ConsoleUi::ClearProgress() {
  if (drawn_) *progress_ << "\r\033[K" << std::flush;
  drawn_ = false;
}

}  // namespace vatrix
