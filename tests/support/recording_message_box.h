#pragma once
// A message box service that records what it would show and returns at once.
#include <string>
#include <string_view>
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

  // The line that each box reports for the operation at `label`, in order; -1
  // for a box that names another place.
  std::vector<int> LinesAt(std::u16string_view label) const {
    const std::u16string marker = std::u16string(label) + u"at line ";
    std::vector<int> lines;
    for (const RecordedBox& box : boxes) {
      const size_t at = box.text.find(marker);
      int line = -1;
      if (at != std::u16string::npos) {
        line = 0;
        for (size_t i = at + marker.size();
             i < box.text.size() && box.text[i] >= u'0' && box.text[i] <= u'9'; ++i) {
          line = line * 10 + (box.text[i] - u'0');
        }
      }
      lines.push_back(line);
    }
    return lines;
  }

  std::vector<RecordedBox> boxes;
};

}  // namespace brindlecap::testing
