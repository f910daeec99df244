#include <climits>
#include <cstdint>
#include <limits>
#include <string>
#include <type_traits>

#include "automation/error.hpp"
#include "module_parts.hpp"
#include "python_types.hpp"

namespace automation::python {
namespace {

SafeArray<Variant> array_from_sequence(py::handle sequence, int32_t lbound) {
  std::vector<Variant> elements;
  for (py::handle element : sequence) elements.push_back(to_variant(element));
  if (!elements.empty() && int64_t{lbound} + static_cast<int64_t>(elements.size()) - 1 > INT32_MAX)
    raise_overflow("Overflow: an array of " + std::to_string(elements.size()) + " elements cannot start at " +
                   std::to_string(lbound));
  return SafeArray<Variant>(lbound, std::move(elements));
}

Variant integer_to_variant(py::handle value) {
  int overflow = 0;
  const long long number = PyLong_AsLongLongAndOverflow(value.ptr(), &overflow);
  if (overflow == 0 && number >= INT32_MIN && number <= INT32_MAX) return Variant(static_cast<int32_t>(number));
  // Like a numeric literal too large for a Long, it travels as a double.
  const double as_double = PyLong_AsDouble(value.ptr());
  if (as_double == -1.0 && PyErr_Occurred()) {
    PyErr_Clear();
    raise_overflow("Overflow: " + py::str(value).cast<std::string>() + " is too large for a number");
  }
  return Variant(as_double);
}

}  // namespace

Variant to_variant(py::handle value) {
  if (value.is_none()) return Variant();
  if (PyBool_Check(value.ptr())) return Variant(VariantBool::from(value.ptr() == Py_True));
  if (PyLong_Check(value.ptr())) return integer_to_variant(value);
  if (PyFloat_Check(value.ptr())) return Variant(PyFloat_AS_DOUBLE(value.ptr()));
  if (PyUnicode_Check(value.ptr())) return Variant(Bstr::from_utf8(value.cast<std::string>()));
  if (py::isinstance<PySafeArray>(value)) return value.cast<const PySafeArray&>().array;
  if (PyList_Check(value.ptr()) || PyTuple_Check(value.ptr())) return Variant(array_from_sequence(value, 0));
  if (py::isinstance<PyDispatch>(value)) return Variant(value.cast<const PyDispatch&>().object);
  // Fails before any component is reached, so the module is the source.
  raise_error(kErrTypeMismatch,
              "Type mismatch: a Python " + std::string(Py_TYPE(value.ptr())->tp_name) + " has no automation value",
              "automation");
}

py::object to_python(const Variant& value) {
  return std::visit(
      [](const auto& held) -> py::object {
        using Held = std::decay_t<decltype(held)>;
        if constexpr (std::is_same_v<Held, std::monostate> || std::is_same_v<Held, Null>)
          return py::none();
        else if constexpr (std::is_same_v<Held, VariantBool>)
          return py::bool_(static_cast<bool>(held));
        else if constexpr (std::is_same_v<Held, Bstr>)
          return py::str(held.to_utf8());
        else if constexpr (std::is_same_v<Held, ObjectRef>)
          return wrap_object(held);
        else if constexpr (std::is_arithmetic_v<Held>)
          return py::cast(held);
        else
          return py::cast(PySafeArray{Variant(held)});
      },
      value.storage());
}

SafeArray<Variant> PySafeArray::from_sequence(py::handle sequence, int32_t lbound) {
  return array_from_sequence(sequence, lbound);
}

}  // namespace automation::python
