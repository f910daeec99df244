// clsINI: values of INI files, read as text or numbers, written and removed
// through the platform's private-profile functions. No operation creates an
// INI file: each first makes sure the file is there, and reports it missing
// in a message box otherwise. The class keeps no state.
#pragma once

#include <cstdint>

#include "automation/object.hpp"
#include "drumel/api.hpp"

namespace drumel {

class DRUMEL_API clsINI : public automation::Object {
 public:
  const automation::ClassInfo& class_info() const override;

  // The key's value, at most 254 characters. Default is the text given when
  // the key is missing; it comes back as it survived the ANSI code page.
  automation::Bstr GetKeyVal(const automation::Bstr& Section, const automation::Bstr& Key, automation::Bstr& Default,
                             const automation::Bstr& INIFileLoc);
  // A null Value removes the key, a null Key the section.
  automation::Variant AddToINI(const automation::Bstr& Section, const automation::Bstr& Key,
                               const automation::Bstr& Value, const automation::Bstr& INIFileLoc);
  automation::Variant DeleteSection(const automation::Bstr& INIFileLoc, const automation::Bstr& Section);
  automation::Variant DeleteKey(const automation::Bstr& INIFileLoc, const automation::Bstr& Section,
                                const automation::Bstr& Key);
  // The key stays, with an empty value.
  automation::Variant DeleteKeyValue(const automation::Bstr& INIFileLoc, const automation::Bstr& Section,
                                     const automation::Bstr& Key);
  // The value read as a number (the host's LC_NUMERIC separators), rounded
  // halves to even; the type-mismatch error for no number, overflow beyond 32 bits.
  int32_t GetIntVal(const automation::Bstr& Section, const automation::Bstr& Key, const automation::Bstr& Default,
                    const automation::Bstr& INIFileLoc);
  // As GetIntVal, but never fails: Default as a number when the value is
  // none, 0 when Default is none either.
  int32_t GetDoubleVal(const automation::Bstr& Section, const automation::Bstr& Key, const automation::Bstr& Default,
                       const automation::Bstr& INIFileLoc);
};

}  // namespace drumel
