#include "automation/host_hooks.hpp"
#include "module_parts.hpp"
#include "python_callback.hpp"

namespace automation::python {

// Each setter takes a Python callable, or None to restore the default. A hook
// added later (a folder picker, say) follows the same pattern: hold the
// callable, call it through call_held, translate its arguments and result.
void bind_host_hooks(py::module_& module) {
  module.def(
      "set_message_box",
      [](py::object handler) {
        if (handler.is_none()) return set_message_box_handler(nullptr);
        set_message_box_handler([held = hold(handler)](const Bstr& text, const Bstr& caption, int32_t style) {
          call_held(held, "message box", text.to_utf8(), caption.to_utf8(), style);
        });
      },
      py::arg("fn"), "fn(text, caption, style) replaces the message box; None restores the default.");
  module.def(
      "set_yield",
      [](py::object handler) {
        if (handler.is_none()) return set_yield_handler(nullptr);
        set_yield_handler([held = hold(handler)] { call_held(held, "yield"); });
      },
      py::arg("fn"), "fn() runs whenever a component yields to the host; None restores the default.");
  // The hooks hold Python callables: drop them while the interpreter still runs.
  py::module_::import("atexit").attr("register")(py::cpp_function([] {
    set_message_box_handler(nullptr);
    set_yield_handler(nullptr);
  }));
}

}  // namespace automation::python
