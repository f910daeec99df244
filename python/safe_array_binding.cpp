#include <string>
#include <type_traits>

#include "module_parts.hpp"
#include "python_types.hpp"

namespace automation::python {
namespace {

template <class T>
constexpr bool is_safe_array = false;
template <class T>
constexpr bool is_safe_array<SafeArray<T>> = true;

// Calls `action` with the held SafeArray<T>.
template <class Action>
auto with_array(const PySafeArray& self, Action&& action) {
  return std::visit(
      [&](const auto& held) {
        using Held = std::decay_t<decltype(held)>;
        if constexpr (is_safe_array<Held>)
          return action(held);
        else
          return action(SafeArray<Variant>());
      },
      self.array.storage());
}

py::list elements(const PySafeArray& self, bool deep) {
  return with_array(self, [deep](const auto& array) {
    py::list list;
    for (const auto& element : array.elements()) {
      py::object value = to_python(Variant(element));
      if (deep && py::isinstance<PySafeArray>(value)) value = elements(value.cast<const PySafeArray&>(), true);
      list.append(std::move(value));
    }
    return list;
  });
}

// An array type that holds no array reads as empty: bounds 0 and -1.
int32_t lbound(const PySafeArray& self) {
  return with_array(self, [](const auto& array) { return array.has_array() ? array.lbound() : 0; });
}
int32_t ubound(const PySafeArray& self) {
  return with_array(self, [](const auto& array) { return array.has_array() ? array.ubound() : -1; });
}

}  // namespace

void bind_values(py::module_& module) {
  py::class_<PySafeArray>(module, "SafeArray", "A bounded array: it keeps its own lower bound and is indexed by it.")
      .def(py::init([](py::iterable sequence, int32_t lbound_value) {
             return PySafeArray{Variant(PySafeArray::from_sequence(sequence, lbound_value))};
           }),
           py::arg("seq"), py::arg("lbound") = 0)
      .def("__len__", [](const PySafeArray& self) { return with_array(self, [](const auto& a) { return a.size(); }); })
      .def("__getitem__",
           [](const PySafeArray& self, int64_t index) {
             return with_array(self, [index](const auto& array) { return to_python(Variant(array.at(index))); });
           })
      .def("__iter__", [](const PySafeArray& self) { return py::iter(elements(self, false)); })
      .def_property_readonly("lbound", &lbound)
      .def_property_readonly("ubound", &ubound)
      .def(
          "tolist", [](const PySafeArray& self) { return elements(self, true); },
          "The elements as a list; arrays inside become lists too.")
      .def("__repr__", [](const PySafeArray& self) {
        return "SafeArray(" + py::repr(elements(self, true)).cast<std::string>() +
               ", lbound=" + std::to_string(lbound(self)) + ")";
      });
}

}  // namespace automation::python
