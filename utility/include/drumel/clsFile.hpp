// clsFile: CRC-32 checksums of files with an optional 4-byte trailer, whole
// text files read and written, file presence.
#pragma once

#include <cstdint>
#include <memory>

#include "automation/object.hpp"
#include "drumel/api.hpp"

namespace drumel {

class Crc32Engine;

// Members stand in the slot order of the automation interface _clsFile.
// Failures come back as 0, an empty string or false, some after a message box.
class DRUMEL_API clsFile final : public automation::Object {
 public:
  // 0xEDB88320: the CRC-32 of zlib and Ethernet.
  static constexpr int32_t kDefaultPoly = -306674912;

  static std::shared_ptr<clsFile> create();
  ~clsFile() override;

  // Builds this instance's table from the reflected polynomial.
  void CRCInit(int32_t Poly = kDefaultPoly);
  // The CRC of the file; with Check, -1 when its last four bytes hold the CRC
  // of the bytes before them, else 0; with Add, the CRC is written as that
  // trailer (appended, or over the old one with Check). 0 after any failure.
  int32_t CRC32File(automation::Bstr& Path, automation::VariantBool Check = automation::kFalse,
                    automation::VariantBool Add = automation::kFalse);
  // The same result in upper-case hexadecimal without leading zeros.
  automation::Bstr CRC32FileHex(automation::Bstr& Path, automation::VariantBool Check = automation::kFalse,
                                automation::VariantBool Add = automation::kFalse);
  // The whole file, one character per byte in the ANSI code page.
  automation::Bstr LoadText(automation::Bstr& FromFile);
  // Replaces the file's content with exactly the text; the old content stays
  // whole when saving fails.
  automation::VariantBool SaveText(automation::Bstr& Text, automation::Bstr& FileName);
  automation::VariantBool FileExists(automation::Bstr& FileName);

  const automation::ClassInfo& class_info() const override;

 private:
  clsFile();

  std::unique_ptr<const Crc32Engine> CRCTab;  // built by CRCInit; null until then (not CRCReady)
};

}  // namespace drumel
