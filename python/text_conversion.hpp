// Python str <-> automation string, straight from and into the interpreter's
// own storage (Latin-1, UCS-2 or UCS-4): one pass, one allocation, no UTF-8 detour.
#pragma once

#include <Python.h>

#include "automation/bstr.hpp"

namespace automation::python {

// `text` must be a str; characters beyond the basic plane become surrogate pairs.
Bstr bstr_from_str(PyObject* text);
// A new reference, or null with the Python error set (out of memory only):
// surrogate pairs join, a lone surrogate becomes U+FFFD.
PyObject* str_from_text(std::u16string_view text);

}  // namespace automation::python
