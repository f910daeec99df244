// The private-profile (INI file) functions the libraries call. Section, key,
// default and value texts are in the ANSI code page; the file name is a UTF-8
// path, relative paths starting at the current directory. A null pointer is
// a null argument, which several calls give a meaning of its own.
//
// Every call reads or rewrites the file whole under an advisory lock (shared
// for reads, exclusive for writes); a write goes to a temporary file in the
// same folder that is flushed and renamed over the old one with its
// permissions, so readers and crashes see the old or the new file, never a mix.
#pragma once

#include <cstdint>

#include "automation/runtime_api.hpp"

namespace automation {

using DWORD = uint32_t;
using BOOL = int32_t;

// Copies the value of `key` in `section` (blanks around it and one pair of
// matching quotes removed), or `default_text` without its trailing blanks
// when the file, section or key is missing, into `buffer`: at most size - 1
// characters and a NUL. Returns the count copied, the NUL not counted.
// A null `key` lists the section's key names, a null `section` the file's
// section names: each name with its NUL, a second NUL ending the list; a
// list cut to fit ends in two NULs and returns size - 2. A null `key` of a
// section without keys gives the default instead.
AUTOMATION_RUNTIME_API DWORD GetPrivateProfileStringA(const char* section, const char* key, const char* default_text,
                                                      char* buffer, DWORD size, const char* file_name);

// Sets `key` in `section` to `value` exactly as given (an existing key keeps
// its place and spelling, a new key follows the section's last key, a new
// section goes to the end of the file, a missing file is created with CR LF
// line ends). A null `value` removes the key, a null `key` the section with
// its entries; a removal also removes duplicates further down, so no older
// entry resurfaces. Non-zero on success. Refused (zero, nothing written):
// a null section or file name, a line break in any text, an empty key name,
// a key name holding '=' or starting with ';' or '[' (it would read back as
// something else), and creating a file whose name holds '*' or '?'.
AUTOMATION_RUNTIME_API BOOL WritePrivateProfileStringA(const char* section, const char* key, const char* value,
                                                       const char* file_name);

}  // namespace automation
