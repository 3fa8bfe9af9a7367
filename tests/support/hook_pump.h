#pragma once
// Counts the yields and lets a test act from inside one, as an event handler would.
#include <functional>

#include "shared/event_pump.h"

namespace brindlecap::testing {

class HookPump : public EventPump {
 public:
  void RunWaitingEvents() override {
    ++count;
    if (hook) hook(count);
  }
  int count = 0;
  std::function<void(int)> hook;
};

}  // namespace brindlecap::testing
