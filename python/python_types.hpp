// The C++ sides of automation.SafeArray and automation.Dispatch.
#pragma once

#include <cstdint>

#include "automation/object.hpp"
#include "module_parts.hpp"

namespace automation::python {

// Holds one array value of any element type (or no array at all).
struct PySafeArray {
  Variant array;

  static SafeArray<Variant> from_sequence(py::handle sequence, int32_t lbound);
};

// A late-bound object as Python sees it. The event sink, when connected,
// lives as long as this wrapper.
struct PyDispatch {
  explicit PyDispatch(ObjectRef target) : object(std::move(target)) {}
  PyDispatch(const PyDispatch&) = delete;
  PyDispatch& operator=(const PyDispatch&) = delete;
  ~PyDispatch();

  ObjectRef object;
  uint32_t sink_cookie = 0;
};

// An object reference on its way to a Python wrapper class.
struct PyReference {
  ObjectRef object;
};

// A member taken from an object, to be called later (`f = opt.pokreni; f()`).
struct PyBoundMember {
  py::object owner;
  const MemberInfo* member;
};

}  // namespace automation::python
