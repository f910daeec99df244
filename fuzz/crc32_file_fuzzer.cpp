// libFuzzer target for clsFile.CRC32File and CRC32FileHex on short random
// files, with every combination of Check and Add, now and then another
// polynomial, a missing file or a folder: results and the file afterwards
// match a bitwise reference.
#include <fuzzer/FuzzedDataProvider.h>

#include <filesystem>
#include <string>

#include "automation/bstr.hpp"
#include "automation/host_hooks.hpp"
#include "drumel.hpp"
#include "fuzz_check.hpp"
#include "temporary_folder.hpp"

namespace {

using automation::Bstr;
using automation::VariantBool;

uint32_t reference_crc(std::string_view bytes, uint32_t polynomial) {
  uint32_t crc = 0xFFFFFFFFu;
  for (const char byte : bytes) {
    crc ^= static_cast<uint8_t>(byte);
    for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (polynomial & (0u - (crc & 1u)));
  }
  return ~crc;
}

std::string trailer(uint32_t crc) {
  return {static_cast<char>(crc), static_cast<char>(crc >> 8), static_cast<char>(crc >> 16),
          static_cast<char>(crc >> 24)};
}

uint32_t stored_trailer(std::string_view bytes) {
  uint32_t value = 0;
  for (std::size_t i = bytes.size(); i > bytes.size() - 4; --i) value = value << 8 | static_cast<uint8_t>(bytes[i - 1]);
  return value;
}

std::u16string upper_hex(uint32_t value) {
  std::u16string digits;
  do {
    digits.insert(digits.begin(), u"0123456789ABCDEF"[value & 0xFu]);
    value >>= 4;
  } while (value != 0);
  return digits;
}

const test_support::TemporaryFolder& folder() {
  static const test_support::TemporaryFolder folder;
  return folder;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  // CRC32File reports nothing; CRC32FileHex only when the call itself cannot be made.
  automation::set_message_box_handler([](const Bstr&, const Bstr&, int32_t) { fuzz::fail("a message box"); });
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  const bool check = input.ConsumeBool();
  const bool add = input.ConsumeBool();
  const bool hex = input.ConsumeBool();
  const int place = input.ConsumeIntegralInRange<int>(0, 15);  // 0: no file, 1: a folder
  const bool own_polynomial = input.ConsumeIntegralInRange<int>(0, 7) == 0;
  const uint32_t polynomial = own_polynomial ? input.ConsumeIntegral<uint32_t>() : 0xEDB88320u;
  const std::string content = input.ConsumeRemainingBytesAsString();

  const std::filesystem::path path = folder() / "file";
  std::filesystem::remove_all(path);
  if (place == 1)
    std::filesystem::create_directory(path);
  else if (place != 0)
    test_support::write_file(path, content);

  const auto file = drumel::clsFile::create();
  if (own_polynomial) file->CRCInit(static_cast<int32_t>(polynomial));
  Bstr name = Bstr::from_utf8(path.string());
  const VariantBool check_flag = VariantBool::from(check);
  const VariantBool add_flag = VariantBool::from(add);
  int32_t result = 0;
  if (hex) {
    const Bstr text = file->CRC32FileHex(name, check_flag, add_flag);
    result = static_cast<int32_t>(std::stoul(automation::utf16_to_utf8(text.str()), nullptr, 16));
    fuzz::require(text.str() == upper_hex(static_cast<uint32_t>(result)),
                  "CRC32FileHex is not the upper-case hex of CRC32File");
  } else {
    result = file->CRC32File(name, check_flag, add_flag);
  }

  if (place <= 1) {
    fuzz::require(result == 0, "a missing file or a folder gives a checksum");
    fuzz::require(place == 1 ? std::filesystem::is_directory(path) : !std::filesystem::exists(path),
                  "a missing file or a folder was changed");
    return 0;
  }
  const std::string after = test_support::read_file(path);
  if (!check) {
    const uint32_t crc = reference_crc(content, polynomial);
    fuzz::require(result == static_cast<int32_t>(crc), "CRC32File differs from the reference");
    fuzz::require(after == (add ? content + trailer(crc) : content), "Add did not append exactly the trailer");
    return 0;
  }
  if (content.size() < 4) {
    fuzz::require(result == 0 && after == content, "Check on a file shorter than four bytes");
    return 0;
  }
  const std::string_view hashed = std::string_view(content).substr(0, content.size() - 4);
  const uint32_t crc = reference_crc(hashed, polynomial);
  fuzz::require(result == (crc == stored_trailer(content) ? -1 : 0), "Check gives the wrong outcome");
  fuzz::require(after == (add ? std::string(hashed) + trailer(crc) : content),
                "Check with Add wrote the wrong trailer");
  return 0;
}
