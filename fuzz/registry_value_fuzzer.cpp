// libFuzzer target for clsAPI.RegQueryStringValue and GetString: values of
// every type, name and size are stored in a registry store of its own and
// read back; REG_SZ gives its text up to the first NUL, REG_BINARY its first
// two bytes as a signed 16-bit number, every other type the empty string.
#include <fuzzer/FuzzedDataProvider.h>
#include <stdlib.h>

#include <array>
#include <memory>
#include <string>

#include "automation/code_page.hpp"
#include "automation/registry.hpp"
#include "drumel.hpp"
#include "fuzz_check.hpp"
#include "temporary_folder.hpp"

namespace {

using automation::Bstr;
using automation::DWORD;

constexpr char kSubKey[] = "Software\\Fuzz";

std::u16string expected_text(DWORD type, const std::string& data) {
  if (type == automation::REG_SZ) return automation::from_ansi(data.substr(0, data.find('\0')));
  if (type != automation::REG_BINARY) return u"";
  const uint8_t low = data.empty() ? 0 : static_cast<uint8_t>(data[0]);
  const uint8_t high = data.size() < 2 ? 0 : static_cast<uint8_t>(data[1]);
  const auto number = static_cast<int16_t>(low | high << 8);
  return automation::utf8_to_utf16(std::to_string(number));
}

automation::HKEY fuzz_key() {
  static const automation::HKEY key = [] {
    static const test_support::TemporaryFolder config_home;
    ::setenv("XDG_CONFIG_HOME", config_home.path().c_str(), 1);
    automation::HKEY opened = 0;
    if (automation::RegCreateKeyA(automation::HKEY_CURRENT_USER, kSubKey, &opened) != automation::ERROR_SUCCESS)
      fuzz::fail("cannot create the fuzz key");
    return opened;
  }();
  return key;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  static constexpr std::array<DWORD, 8> kTypes = {automation::REG_NONE,
                                                  automation::REG_SZ,
                                                  automation::REG_EXPAND_SZ,
                                                  automation::REG_BINARY,
                                                  automation::REG_DWORD,
                                                  7,
                                                  11,
                                                  0xFFFFFFFFu};
  const DWORD type = input.ConsumeBool() ? input.PickValueInArray(kTypes) : input.ConsumeIntegral<DWORD>();
  // A C string ends at its first NUL: so does the name.
  std::string name = input.ConsumeRandomLengthString(64);
  name = name.substr(0, name.find('\0'));
  // Values of every size, up to a mebibyte, by repeating the bytes.
  const int doublings = input.ConsumeIntegralInRange<int>(0, 15) < 14 ? 0 : input.ConsumeIntegralInRange<int>(1, 12);
  std::string value = input.ConsumeRemainingBytesAsString();
  for (int i = 0; i < doublings && value.size() < (1u << 20); ++i) value += value;

  const automation::HKEY key = fuzz_key();
  const auto* bytes = reinterpret_cast<const uint8_t*>(value.data());
  if (automation::RegSetValueExA(key, name.c_str(), 0, type, bytes, static_cast<DWORD>(value.size())) !=
      automation::ERROR_SUCCESS)
    fuzz::fail("a value could not be stored");

  const auto api_object = std::make_shared<drumel::clsAPI>();
  drumel::clsAPI& api = *api_object;
  const Bstr value_name(automation::from_ansi(name));
  const std::u16string expected = expected_text(type, value);
  fuzz::require(api.RegQueryStringValue(static_cast<int32_t>(key), value_name).str() == expected,
                "RegQueryStringValue gives another text");
  auto root = static_cast<int32_t>(automation::HKEY_CURRENT_USER);
  Bstr path(automation::from_ansi(kSubKey));
  Bstr by_reference = value_name;
  const automation::Variant found = api.GetString(root, path, by_reference);
  const auto* text = found.get_if<Bstr>();
  fuzz::require(text != nullptr && text->str() == expected, "GetString gives another text");
  return 0;
}
