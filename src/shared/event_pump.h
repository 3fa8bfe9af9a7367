#pragma once

namespace brindlecap {

// Lets the user interface handle every waiting event, then comes back.
class EventPump {
 public:
  virtual ~EventPump() = default;
  virtual void RunWaitingEvents() = 0;
};

}  // namespace brindlecap
