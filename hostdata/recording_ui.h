// Test support: a front end that records every message instead of showing it.
#ifndef VATRIX_HOSTDATA_RECORDING_UI_H_
#define VATRIX_HOSTDATA_RECORDING_UI_H_

#include <string>
#include <vector>

#include "hostdata/user_interface.h"

namespace vatrix::testing {

class RecordingUi : public UserInterface {
 public:
  MessageAnswer ShowMessage(const Message& message) override {
    messages.push_back(message);
    return answer;
  }
  void EndProgram() override { ended = true; }

  // Every message shown, a line each as "title: text", to explain a failing check.
  std::string Transcript() const {
    std::string lines;
    for (const Message& message : messages) lines += message.title + ": " + message.text + "\n";
    return lines;
  }

  std::vector<Message> messages;
  MessageAnswer answer = MessageAnswer::kOk;
  bool ended = false;
};

}  // namespace vatrix::testing

#endif  // VATRIX_HOSTDATA_RECORDING_UI_H_
