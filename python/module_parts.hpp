// The pieces of the native part of the Python package `automation`, each
// bound in its own file.
#pragma once

#include <pybind11/pybind11.h>

#include "automation/variant.hpp"

namespace automation::python {

namespace py = pybind11;

struct PyDispatch;

// automation.Error and the translation of AutomationError into it.
void bind_errors(py::module_& module);
// automation.SafeArray.
void bind_values(py::module_& module);
// automation.Dispatch's native base, DispatchWithEvents and the type library.
void bind_dispatch(py::module_& module);
// automation.set_message_box and automation.set_yield.
void bind_host_hooks(py::module_& module);

// Python value to variant: None is empty, bool/int/float/str the boolean,
// 32-bit integer (a larger int becomes a double), double and string; a list
// or tuple is an array with lower bound 0; SafeArray and Dispatch pass their
// array and object. Anything else is the type-mismatch error; so are arrays
// nested too deep or holding themselves.
Variant to_variant(py::handle value);
// Variant to Python: empty and null are None, arrays are SafeArray, objects Dispatch.
py::object to_python(const Variant& value);
// Wraps an object reference in the Python class of its component class (None for no object).
py::object wrap_object(ObjectRef object);

}  // namespace automation::python
