#include <climits>
#include <cstdint>
#include <limits>
#include <string>
#include <type_traits>
#include <vector>

#include "automation/error.hpp"
#include "module_parts.hpp"
#include "python_types.hpp"
#include "text_conversion.hpp"

namespace automation::python {
namespace {

// Arrays inside arrays deeper than this are refused rather than recursed
// into: the conversion runs on the C stack, and no component takes more.
constexpr int kMaxArrayDepth = 60;

// The lists and tuples being converted, outermost first: one that holds
// itself would otherwise recurse until the stack runs out.
class OpenSequences {
 public:
  void enter(py::handle sequence) {
    if (open_.size() >= static_cast<std::size_t>(kMaxArrayDepth))
      raise_error(kErrInvalidProcedureCall,
                  "Invalid procedure call or argument: arrays nested deeper than " + std::to_string(kMaxArrayDepth) +
                      " levels",
                  "automation");
    for (PyObject* open : open_)
      if (open == sequence.ptr())
        raise_error(kErrInvalidProcedureCall,
                    "Invalid procedure call or argument: a " + std::string(Py_TYPE(sequence.ptr())->tp_name) +
                        " that contains itself has no automation value",
                    "automation");
    open_.push_back(sequence.ptr());
  }
  void leave() { open_.pop_back(); }

 private:
  std::vector<PyObject*> open_;
};

Variant convert(py::handle value, OpenSequences& open);

SafeArray<Variant> array_from_sequence(py::handle sequence, int32_t lbound, OpenSequences& open) {
  open.enter(sequence);
  std::vector<Variant> elements;
  for (py::handle element : sequence) elements.push_back(convert(element, open));
  open.leave();
  // The upper bound lbound + n - 1 must be a Long too, also for an empty array.
  const int64_t ubound = int64_t{lbound} + static_cast<int64_t>(elements.size()) - 1;
  if (ubound > INT32_MAX || ubound < INT32_MIN)
    raise_error(kErrOverflow,
                "Overflow: an array of " + std::to_string(elements.size()) + " elements cannot start at " +
                    std::to_string(lbound),
                "automation");
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
    raise_error(kErrOverflow, "Overflow: " + py::str(value).cast<std::string>() + " is too large for a number",
                "automation");
  }
  return Variant(as_double);
}

Variant convert(py::handle value, OpenSequences& open) {
  if (value.is_none()) return Variant();
  if (PyBool_Check(value.ptr())) return Variant(VariantBool::from(value.ptr() == Py_True));
  if (PyLong_Check(value.ptr())) return integer_to_variant(value);
  if (PyFloat_Check(value.ptr())) return Variant(PyFloat_AS_DOUBLE(value.ptr()));
  if (PyUnicode_Check(value.ptr())) return Variant(bstr_from_str(value.ptr()));
  if (py::isinstance<PySafeArray>(value)) return value.cast<const PySafeArray&>().array;
  if (PyList_Check(value.ptr()) || PyTuple_Check(value.ptr())) return Variant(array_from_sequence(value, 0, open));
  if (py::isinstance<PyDispatch>(value)) return Variant(value.cast<const PyDispatch&>().object);
  // Fails before any component is reached, so the module is the source.
  raise_error(kErrTypeMismatch,
              "Type mismatch: a Python " + std::string(Py_TYPE(value.ptr())->tp_name) + " has no automation value",
              "automation");
}

}  // namespace

Variant to_variant(py::handle value) {
  OpenSequences open;
  return convert(value, open);
}

py::object to_python(const Variant& value) {
  return std::visit(
      [](const auto& held) -> py::object {
        using Held = std::decay_t<decltype(held)>;
        if constexpr (std::is_same_v<Held, std::monostate> || std::is_same_v<Held, Null>)
          return py::none();
        else if constexpr (std::is_same_v<Held, VariantBool>)
          return py::bool_(static_cast<bool>(held));
        else if constexpr (std::is_same_v<Held, Bstr>) {
          PyObject* text = str_from_text(held.view());
          if (text == nullptr) throw py::error_already_set();
          return py::reinterpret_steal<py::object>(text);
        } else if constexpr (std::is_same_v<Held, ObjectRef>)
          return wrap_object(held);
        else if constexpr (std::is_arithmetic_v<Held>)
          return py::cast(held);
        else
          return py::cast(PySafeArray{Variant(held)});
      },
      value.storage());
}

SafeArray<Variant> PySafeArray::from_sequence(py::handle sequence, int32_t lbound) {
  OpenSequences open;
  return array_from_sequence(sequence, lbound, open);
}

}  // namespace automation::python
