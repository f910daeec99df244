// Makes a shared library an in-process component server: its classes are
// known to the runtime as soon as the library is loaded.
#pragma once

#include "automation/class_registry.hpp"

// info_function: a function returning the library's `const LibraryInfo&`.
#define AUTOMATION_COMPONENT_SERVER(info_function)                         \
  namespace {                                                              \
  [[maybe_unused]] const bool component_server_registered = [] {           \
    ::automation::register_library(info_function());                       \
    return true;                                                           \
  }();                                                                     \
  }
