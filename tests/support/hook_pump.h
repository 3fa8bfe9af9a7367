#pragma once
// Lets a test act whenever waiting events run, as an event handler would.
#include <functional>

#include "shared/event_pump.h"

namespace brindlecap::testing {

class HookPump : public EventPump {
 public:
  void RunWaitingEvents() override {
    if (hook) hook();
  }
  std::function<void()> hook;
};

}  // namespace brindlecap::testing
