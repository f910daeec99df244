// Ctrl-C during a long call. The interpreter only notices SIGINT between
// bytecodes, and a component call holds none, so the module watches the
// signal itself while a call runs: the object's stop property is set, the run
// ends at its next checkpoint with its best result kept, and the
// KeyboardInterrupt reaches the caller once the call has returned.
#pragma once

#include "automation/object.hpp"

namespace automation::python {

// Active for the life of a method call made on the main thread to an object
// whose class has a stop property; nested calls leave the outer one in charge.
class InterruptWatch {
 public:
  InterruptWatch(const ObjectRef& object, const MemberInfo& member);
  ~InterruptWatch();
  InterruptWatch(const InterruptWatch&) = delete;
  InterruptWatch& operator=(const InterruptWatch&) = delete;

  // With the GIL: raises the KeyboardInterrupt when one came during the call
  // (as a signal or out of an event handler).
  void raise_if_interrupted();

 private:
  bool active_ = false;
};

// An event handler raised KeyboardInterrupt: stop the running call as Ctrl-C does.
void interrupt_from_handler();

}  // namespace automation::python
