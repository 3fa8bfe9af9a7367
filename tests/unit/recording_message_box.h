#pragma once
// A message box service that records what it would show and returns at once.
#include <string>
#include <vector>

#include "shared/message_box.h"

namespace brindlecap::testing {

struct RecordedBox {
  std::u16string text, title;
  MessageBoxIcon icon;
};

class RecordingMessageBox : public MessageBoxService {
 public:
  void Show(const std::u16string& text, const std::u16string& title, MessageBoxIcon icon) override {
    boxes.push_back({text, title, icon});
  }
  std::vector<RecordedBox> boxes;
};

}  // namespace brindlecap::testing
