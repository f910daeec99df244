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

// Same bounds and the same values; a list is an array from 0.
bool equal_arrays(const PySafeArray& self, py::handle other) {
  py::list theirs;
  int32_t their_lbound = 0;
  if (py::isinstance<PySafeArray>(other)) {
    const auto& array = other.cast<const PySafeArray&>();
    theirs = elements(array, false);
    their_lbound = lbound(array);
  } else {
    theirs = py::reinterpret_borrow<py::list>(other);
  }
  return lbound(self) == their_lbound && elements(self, false).equal(theirs);
}

template <class T>
constexpr const char* kBufferFormat = nullptr;
template <>
constexpr const char* kBufferFormat<int16_t> = "h";
template <>
constexpr const char* kBufferFormat<int32_t> = "i";
template <>
constexpr const char* kBufferFormat<double> = "d";

struct NumericView {
  const void* data = nullptr;
  Py_ssize_t count = 0;
  Py_ssize_t item_bytes = 0;
  const char* format = nullptr;
};

NumericView numeric_view(const PySafeArray& self) {
  return std::visit(
      [](const auto& held) -> NumericView {
        using Held = std::decay_t<decltype(held)>;
        if constexpr (is_safe_array<Held>) {
          using Element = std::decay_t<decltype(held.elements()[0])>;
          if constexpr (kBufferFormat<Element> != nullptr)
            if (held.dimensions() == 1)
              return {held.elements().data(), static_cast<Py_ssize_t>(held.elements().size()),
                      static_cast<Py_ssize_t>(sizeof(Element)), kBufferFormat<Element>};
        }
        return {};
      },
      self.array.storage());
}

// One-dimensional numeric arrays share their storage, read-only: numpy and
// memoryview read them without a copy. Written as the slot itself, since a
// refusal must be a BufferError, not an exception through C.
int get_buffer(PyObject* object, Py_buffer* view, int flags) {
  const NumericView numeric = numeric_view(py::handle(object).cast<const PySafeArray&>());
  if (numeric.format == nullptr) {
    PyErr_SetString(PyExc_BufferError, "only a one-dimensional array of numbers has a buffer");
    return -1;
  }
  if ((flags & PyBUF_WRITABLE) == PyBUF_WRITABLE) {
    PyErr_SetString(PyExc_BufferError, "a SafeArray's buffer is read-only");
    return -1;
  }
  auto* shape_and_stride = new Py_ssize_t[2]{numeric.count, numeric.item_bytes};
  view->obj = Py_NewRef(object);
  view->buf = const_cast<void*>(numeric.data);
  view->len = numeric.count * numeric.item_bytes;
  view->readonly = 1;
  view->itemsize = numeric.item_bytes;
  view->format = (flags & PyBUF_FORMAT) != 0 ? const_cast<char*>(numeric.format) : nullptr;
  view->ndim = 1;
  view->shape = (flags & PyBUF_ND) != 0 ? &shape_and_stride[0] : nullptr;
  view->strides = (flags & PyBUF_STRIDES) == PyBUF_STRIDES ? &shape_and_stride[1] : nullptr;
  view->suboffsets = nullptr;
  view->internal = shape_and_stride;
  return 0;
}

void release_buffer(PyObject*, Py_buffer* view) { delete[] static_cast<Py_ssize_t*>(view->internal); }

// numpy's conversion hook. A numeric vector is handed over as its read-only
// buffer, so numpy shares the storage; anything else becomes a new array of
// its elements, which copy=False refuses as numpy itself does.
py::object as_numpy_array(py::object self, py::object dtype, py::object copy) {
  const py::module_ numpy = py::module_::import("numpy");
  py::object source;
  if (numeric_view(self.cast<const PySafeArray&>()).format != nullptr) {
    source = py::memoryview(self);
  } else {
    if (!copy.is_none() && !py::bool_(copy))
      throw py::value_error("a SafeArray of " + py::repr(self).cast<std::string>() +
                            " has no numeric storage to share; numpy would have to copy it");
    source = elements(self.cast<const PySafeArray&>(), true);
  }
  if (copy.is_none()) return numpy.attr("asarray")(source, py::arg("dtype") = dtype);
  return numpy.attr("array")(source, py::arg("dtype") = dtype, py::arg("copy") = copy);
}

}  // namespace

void bind_values(py::module_& module) {
  auto safe_array = py::class_<PySafeArray>(module, "SafeArray", py::buffer_protocol(),
                          "A bounded array: it keeps its own lower bound and is indexed by it.")
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
      .def("__eq__",
           [](const PySafeArray& self, py::object other) -> py::object {
             if (!py::isinstance<PySafeArray>(other) && !py::isinstance<py::list>(other))
               return py::reinterpret_borrow<py::object>(Py_NotImplemented);
             return py::bool_(equal_arrays(self, other));
           })
      .def("__array__", &as_numpy_array, py::arg("dtype") = py::none(), py::arg("copy") = py::none(),
           "The array for numpy: one-dimensional numeric arrays share their storage, read-only.")
      .def_property_readonly("lbound", &lbound)
      .def_property_readonly("ubound", &ubound)
      .def(
          "tolist", [](const PySafeArray& self) { return elements(self, true); },
          "The elements as a list; arrays inside become lists too.")
      .def("__repr__", [](const PySafeArray& self) {
        return "SafeArray(" + py::repr(elements(self, true)).cast<std::string>() +
               ", lbound=" + std::to_string(lbound(self)) + ")";
      });
  PyBufferProcs* buffer = reinterpret_cast<PyTypeObject*>(safe_array.ptr())->tp_as_buffer;
  buffer->bf_getbuffer = &get_buffer;
  buffer->bf_releasebuffer = &release_buffer;
}

}  // namespace automation::python
