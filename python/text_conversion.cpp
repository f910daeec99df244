#include "text_conversion.hpp"

#include <algorithm>
#include <array>
#include <cstdint>
#include <string>

#include "automation/prefault.hpp"

namespace automation::python {
namespace {

constexpr bool is_surrogate(char16_t unit) { return (unit & 0xF800) == 0xD800; }

// The string is sized once with its pages faulted in ahead, then widened a
// block at a time through a buffer that stays in the cache: no zero fill,
// no page fault per page.
template <class Unit>
Bstr widen(const void* data, Py_ssize_t length) {
  const auto* begin = static_cast<const Unit*>(data);
  const auto units = static_cast<std::size_t>(length);
  std::u16string text;
  text.reserve(units);
  prefault_for_writing(text.data(), units * sizeof(char16_t));
  std::array<char16_t, 4096> block;
  for (std::size_t at = 0; at < units; at += block.size()) {
    const std::size_t count = std::min(block.size(), units - at);
    std::copy_n(begin + at, count, block.data());
    text.append(block.data(), count);
  }
  return Bstr(std::move(text));
}

Bstr from_ucs4(const Py_UCS4* begin, Py_ssize_t length) {
  const Py_UCS4* end = begin + length;
  const auto astral = std::count_if(begin, end, [](Py_UCS4 code) { return code >= 0x10000; });
  std::u16string out(static_cast<std::size_t>(length + astral), u'\0');
  std::size_t at = 0;
  for (const Py_UCS4* code = begin; code != end; ++code) {
    if (*code < 0x10000) {
      out[at++] = static_cast<char16_t>(*code);
    } else {
      const Py_UCS4 offset = *code - 0x10000;
      out[at++] = static_cast<char16_t>(0xD800 + (offset >> 10));
      out[at++] = static_cast<char16_t>(0xDC00 + (offset & 0x3FF));
    }
  }
  return Bstr(std::move(out));
}

}  // namespace

Bstr bstr_from_str(PyObject* text) {
  const Py_ssize_t length = PyUnicode_GET_LENGTH(text);
  const void* data = PyUnicode_DATA(text);
  switch (PyUnicode_KIND(text)) {
    case PyUnicode_1BYTE_KIND:
      return widen<Py_UCS1>(data, length);
    case PyUnicode_2BYTE_KIND:
      return widen<Py_UCS2>(data, length);
    default:
      return from_ucs4(static_cast<const Py_UCS4*>(data), length);
  }
}

PyObject* str_from_text(std::u16string_view text) {
  // Below the surrogates the code units are the characters, so the str is
  // made at its final width and filled here, without the interpreter's own
  // scan and copy. Latin-1 text needs its widest unit (ASCII or not); any
  // other text is copied while watching for surrogates, in one pass.
  const auto length = static_cast<Py_ssize_t>(text.size());
  char16_t widest = 0;
  auto unit = text.begin();
  for (; unit != text.end() && *unit <= 0xFF; ++unit) widest = std::max(widest, *unit);
  if (unit == text.end()) {
    PyObject* result = PyUnicode_New(length, widest);
    if (result != nullptr) prefault_for_writing(PyUnicode_1BYTE_DATA(result), text.size());
    if (result != nullptr) std::copy(text.begin(), text.end(), PyUnicode_1BYTE_DATA(result));
    return result;
  }
  PyObject* result = PyUnicode_New(length, 0xFFFF);
  if (result == nullptr) return nullptr;
  Py_UCS2* out = PyUnicode_2BYTE_DATA(result);
  prefault_for_writing(out, text.size() * sizeof(Py_UCS2));
  std::size_t surrogates = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    out[i] = text[i];
    surrogates += is_surrogate(text[i]);
  }
  if (surrogates == 0) return result;
  Py_DECREF(result);
  int byte_order = 0;
#if PY_BIG_ENDIAN
  byte_order = 1;
#else
  byte_order = -1;
#endif
  return PyUnicode_DecodeUTF16(reinterpret_cast<const char*>(text.data()),
                               static_cast<Py_ssize_t>(text.size() * sizeof(char16_t)), "replace", &byte_order);
}

}  // namespace automation::python
