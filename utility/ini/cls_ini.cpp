#include "drumel/clsINI.hpp"

#include <array>
#include <cstring>
#include <exception>
#include <string>
#include <string_view>

#include "automation/checked_math.hpp"
#include "automation/code_page.hpp"
#include "automation/error.hpp"
#include "automation/file_search.hpp"
#include "automation/host_hooks.hpp"
#include "automation/locale_number.hpp"
#include "automation/profile.hpp"

namespace drumel {
namespace {

using automation::Bstr;
using automation::Variant;

// The read room: 254 characters of value and the closing NUL.
constexpr automation::DWORD kRoomSize = 255;

// A string for the platform: ANSI bytes, and a null string stays a null pointer.
class AnsiArgument {
 public:
  explicit AnsiArgument(const Bstr& text) : is_null_(text.is_null()), bytes_(automation::to_ansi(text.view())) {}
  const char* get() const { return is_null_ ? nullptr : bytes_.c_str(); }
  const std::string& bytes() const { return bytes_; }

 private:
  bool is_null_;
  std::string bytes_;
};

// Paths are UTF-8, not ANSI: the file system takes any name.
class PathArgument {
 public:
  explicit PathArgument(const Bstr& path) : utf8_(path.to_utf8()) {}
  const char* get() const { return utf8_.c_str(); }
  const std::string& utf8() const { return utf8_; }

 private:
  std::string utf8_;
};

// The presence test: the path, taken as a pattern, names an ordinary file.
bool ini_file_present(const PathArgument& path) {
  return automation::find_first_ordinary_file(path.utf8()).has_value();
}

void report_missing_file(const Bstr& INIFileLoc, std::u16string_view operation) {
  std::u16string text = u"File Not Found: " + INIFileLoc.str();
  text.append(u"\r\nPlease refer to code in function '").append(operation).append(u"'");
  automation::message_box(Bstr(std::move(text)), automation::kMsgBoxExclamation, Bstr(u"INI File Not Found"));
}

// The write operations: the presence test, then one platform write. Its
// result is not reported; the caller gets the empty variant either way.
template <class Write>
Variant write_if_present(const Bstr& INIFileLoc, std::u16string_view operation, Write write) {
  try {
    const PathArgument path(INIFileLoc);
    if (ini_file_present(path))
      write(path.get());
    else
      report_missing_file(INIFileLoc, operation);
  } catch (const std::exception&) {
  }
  return {};
}

// The general text-to-number rule: the host's separators, halves to even.
int32_t text_to_int32(const Bstr& text) {
  const auto number = automation::locale_text_to_double(text.view());
  if (!number) automation::raise_type_mismatch("the text \"" + text.to_utf8() + "\" is no number");
  try {
    return automation::round_half_even<int32_t>(*number);
  } catch (const automation::AutomationError&) {
    automation::raise_overflow("the number \"" + text.to_utf8() + "\" is outside the 32-bit integer range");
  }
}

}  // namespace

Bstr clsINI::GetKeyVal(const Bstr& Section, const Bstr& Key, Bstr& Default, const Bstr& INIFileLoc) {
  try {
    const PathArgument path(INIFileLoc);
    if (!ini_file_present(path)) {
      report_missing_file(INIFileLoc, u"GetKeyVal");
      return Bstr(u"");
    }
    std::array<char, kRoomSize> room{};
    const AnsiArgument default_text(Default);
    const automation::DWORD count = automation::GetPrivateProfileStringA(
        AnsiArgument(Section).get(), AnsiArgument(Key).get(), default_text.get(), room.data(), kRoomSize, path.get());
    if (!Default.is_null()) Default = Bstr(automation::from_ansi(default_text.bytes()));
    if (count == 0) return Bstr(u"");
    return Bstr(automation::from_ansi(std::string_view(room.data(), ::strnlen(room.data(), room.size()))));
  } catch (const std::exception&) {
    return Bstr(u"");
  }
}

Variant clsINI::AddToINI(const Bstr& Section, const Bstr& Key, const Bstr& Value, const Bstr& INIFileLoc) {
  return write_if_present(INIFileLoc, u"AddToINI", [&](const char* path) {
    automation::WritePrivateProfileStringA(AnsiArgument(Section).get(), AnsiArgument(Key).get(),
                                           AnsiArgument(Value).get(), path);
  });
}

Variant clsINI::DeleteSection(const Bstr& INIFileLoc, const Bstr& Section) {
  return write_if_present(INIFileLoc, u"DeleteSection", [&](const char* path) {
    automation::WritePrivateProfileStringA(AnsiArgument(Section).get(), nullptr, nullptr, path);
  });
}

Variant clsINI::DeleteKey(const Bstr& INIFileLoc, const Bstr& Section, const Bstr& Key) {
  return write_if_present(INIFileLoc, u"DeleteKey", [&](const char* path) {
    automation::WritePrivateProfileStringA(AnsiArgument(Section).get(), AnsiArgument(Key).get(), nullptr, path);
  });
}

Variant clsINI::DeleteKeyValue(const Bstr& INIFileLoc, const Bstr& Section, const Bstr& Key) {
  return write_if_present(INIFileLoc, u"DeleteKeyValue", [&](const char* path) {
    automation::WritePrivateProfileStringA(AnsiArgument(Section).get(), AnsiArgument(Key).get(), "", path);
  });
}

int32_t clsINI::GetIntVal(const Bstr& Section, const Bstr& Key, const Bstr& Default, const Bstr& INIFileLoc) {
  Bstr default_text = Default;
  return text_to_int32(GetKeyVal(Section, Key, default_text, INIFileLoc));
}

int32_t clsINI::GetDoubleVal(const Bstr& Section, const Bstr& Key, const Bstr& Default, const Bstr& INIFileLoc) {
  // GetKeyVal hands back the default as it survived the code page, and that
  // text is the fallback.
  Bstr default_text = Default;
  try {
    return text_to_int32(GetKeyVal(Section, Key, default_text, INIFileLoc));
  } catch (const std::exception&) {
  }
  try {
    return text_to_int32(default_text);
  } catch (const std::exception&) {
    return 0;
  }
}

}  // namespace drumel
