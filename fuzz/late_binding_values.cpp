#include "late_binding_values.hpp"

#include <array>
#include <string>
#include <vector>

#include "interesting_values.hpp"

namespace fuzz {
namespace {

using automation::Bstr;
using automation::SafeArray;
using automation::Variant;

constexpr int32_t kMostElements = 8;

const std::vector<std::u16string>& meaningful_texts() {
  static const std::vector<std::u16string> texts = [] {
    // clang-format off
    std::vector<std::u16string> all = {
        u"", u"a.ini", u"b.txt", u"sub/c.txt", u"missing/d.txt", u"*.ini", u"?.txt", u"sub", u"Section", u"Key",
        u"12", u"-3", u"2.5", u"3.5", u"1e3", u"abc", u"True", u"False", u"Software\\Fuzz",
        u"Software\\Fuzz\\Deep\\", u"\\lead", u"a\\\\b", u"\u010c\u0107\u017d\u20ac", u"x\r\ny", u";comment",
        u"[brackets]", u"key=value", u"  spaced  "};
    // clang-format on
    // The text cipher's 16-bit limit on either side, one past the INI room, a lone NUL.
    for (const std::size_t length : {32766u, 32767u, 300u}) all.emplace_back(length, u'x');
    all.emplace_back(1, u'\0');
    return all;
  }();
  return texts;
}

Variant any_array_variant(FuzzedDataProvider& input, const automation::ObjectRef& some_object) {
  switch (input.ConsumeIntegralInRange<int>(0, 5)) {
    case 0:
      return any_array<int16_t>(input, kMostElements,
                                [](FuzzedDataProvider& in) { return static_cast<int16_t>(any_int32(in, -2, 12)); });
    case 1:
      return any_array<int32_t>(input, kMostElements, [](FuzzedDataProvider& in) { return any_int32(in, -2, 12); });
    case 2:
      return any_array<double>(input, kMostElements, [](FuzzedDataProvider& in) { return any_double(in, 100); });
    case 3:
      return any_array<automation::VariantBool>(
          input, kMostElements, [](FuzzedDataProvider& in) { return automation::VariantBool::from(in.ConsumeBool()); });
    case 4:
      return any_array<Bstr>(input, kMostElements, [](FuzzedDataProvider& in) { return any_text(in); });
    default:
      // One level deep: the elements are no arrays themselves.
      return any_array<Variant>(input, kMostElements, [&some_object](FuzzedDataProvider& in) {
        const Variant element = any_variant(in, some_object);
        return automation::is_array_type(element.type()) ? Variant(any_int32(in, 0, 9)) : element;
      });
  }
}

}  // namespace

Bstr any_text(FuzzedDataProvider& input) {
  switch (input.ConsumeIntegralInRange<int>(0, 5)) {
    case 0:
      return Bstr();  // null
    case 1: {
      const std::string bytes = input.ConsumeRandomLengthString(40);
      return Bstr(std::u16string(bytes.begin(), bytes.end()));
    }
    default:
      return Bstr(meaningful_texts()[input.ConsumeIntegralInRange<std::size_t>(0, meaningful_texts().size() - 1)]);
  }
}

Variant any_variant(FuzzedDataProvider& input, const automation::ObjectRef& some_object) {
  switch (input.ConsumeIntegralInRange<int>(0, 11)) {
    case 0:
      return Variant();
    case 1:
      return Variant(automation::Null{});
    case 2:
      return Variant(static_cast<int16_t>(any_int32(input, -2, 12)));
    case 3:
    case 4:
      return Variant(any_int32(input, -2, 12));
    case 5:
      return Variant(any_double(input, 100));
    case 6:
      return Variant(automation::VariantBool(input.ConsumeIntegral<int16_t>()));
    case 7:
    case 8:
      return Variant(any_text(input));
    case 9:
      return Variant(input.ConsumeBool() ? some_object : automation::ObjectRef());
    default:
      return any_array_variant(input, some_object);
  }
}

}  // namespace fuzz
