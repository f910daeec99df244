#include <string>

#include <pybind11/eval.h>

#include "automation/error.hpp"
#include "module_parts.hpp"

namespace automation::python {

namespace {

constexpr const char* kErrorClass = R"py(
class Error(Exception):
    """An automation error as the component reported it: number, description, source."""

    def __init__(self, number=0, description="", source=""):
        super().__init__(number, description, source)
        self.number = number
        self.description = description
        self.source = source

    def __str__(self):
        return f"{self.description} (error {self.number}, source {self.source!r})"
)py";

const std::string kRuntimeSource = "automation";

// Descriptions come from any library; a stray byte must not hide the error.
py::str lenient_text(const std::string& text) {
  return py::reinterpret_steal<py::str>(
      PyUnicode_DecodeUTF8(text.data(), static_cast<Py_ssize_t>(text.size()), "replace"));
}

}  // namespace

void bind_errors(py::module_& module) {
  py::exec(kErrorClass, module.attr("__dict__"));
  // Kept for the life of the process: translators may run until the interpreter ends.
  static PyObject* error_type = module.attr("Error").ptr();
  Py_INCREF(error_type);
  py::register_exception_translator([](std::exception_ptr failure) {
    try {
      if (failure) std::rethrow_exception(failure);
    } catch (const AutomationError& error) {
      // Errors raised before any component ran (creation, array bounds) are the runtime's own.
      const std::string& source = error.source().empty() ? kRuntimeSource : error.source();
      py::object instance = py::reinterpret_borrow<py::object>(error_type)(
          error.number(), lenient_text(error.description()), lenient_text(source));
      PyErr_SetObject(error_type, instance.ptr());
    }
  });
}

}  // namespace automation::python
