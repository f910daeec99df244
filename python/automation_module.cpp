// The native part of the Python package `automation`: late-bound access to
// the component libraries through the shared runtime's dispatch layer.
#include "module_parts.hpp"

PYBIND11_MODULE(_native, module) {
  using namespace automation::python;
  module.doc() = "Create components by name, use their properties, methods and events.";
  bind_errors(module);
  bind_values(module);
  bind_dispatch(module);
  bind_host_hooks(module);
}
