// Python callables held by C++ (host hooks, event sinks). The runtime may
// call or drop them on any thread, with or without the GIL: calls take the
// GIL, and so does the release of the last reference.
#pragma once

#include <memory>

#include <pybind11/pybind11.h>

namespace automation::python {

namespace py = pybind11;

struct ReleaseWithGil {
  void operator()(py::object* held) const {
    // After the interpreter has gone there is nothing left to release.
    if (!Py_IsInitialized()) {
      held->release();
      delete held;
      return;
    }
    py::gil_scoped_acquire gil;
    delete held;
  }
};

using HeldObject = std::shared_ptr<py::object>;

// Call with the GIL held.
inline HeldObject hold(py::object object) { return HeldObject(new py::object(std::move(object)), ReleaseWithGil{}); }

// Calls a held callable with the GIL. The library that runs the hook cannot
// handle a Python error, so it is reported as unraisable and the call goes on.
template <class... Args>
py::object call_held(const HeldObject& callable, const char* hook_name, Args&&... args) {
  py::gil_scoped_acquire gil;
  try {
    return (*callable)(std::forward<Args>(args)...);
  } catch (py::error_already_set& error) {
    error.discard_as_unraisable(hook_name);
  }
  return py::none();
}

}  // namespace automation::python
