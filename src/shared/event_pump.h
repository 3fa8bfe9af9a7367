#pragma once

namespace brindlecap {

// Lets the user interface handle every waiting event, then comes back. It never
// raises: the window procedures it runs let nothing escape.
class EventPump {
 public:
  virtual ~EventPump() = default;
  virtual void RunWaitingEvents() = 0;
};

}  // namespace brindlecap
