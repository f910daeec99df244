#include "call_arguments.hpp"

#include <string>
#include <strings.h>

namespace automation::python {
namespace {

std::size_t parameter_index(const MemberInfo& member, const std::string& name) {
  for (std::size_t i = 0; i < member.params.size(); ++i)
    if (strcasecmp(member.params[i].name.c_str(), name.c_str()) == 0) return i;
  throw py::type_error(member.name + "() got an unexpected keyword argument '" + name + "'");
}

}  // namespace

std::vector<Variant> call_arguments(const MemberInfo& member, const py::args& args, const py::kwargs& kwargs) {
  std::vector<Variant> values;
  values.reserve(args.size());
  for (py::handle arg : args) values.push_back(to_variant(arg));
  if (kwargs.empty()) return values;

  std::vector<bool> given(values.size(), true);
  for (auto [key, value] : kwargs) {
    const std::size_t index = parameter_index(member, key.cast<std::string>());
    if (index < given.size() && given[index])
      throw py::type_error(member.name + "() got multiple values for argument '" + member.params[index].name + "'");
    if (index >= values.size()) {
      values.resize(index + 1);
      given.resize(index + 1, false);
    }
    values[index] = to_variant(value);
    given[index] = true;
  }
  // Gaps before the last given argument: optional ones take their defaults.
  for (std::size_t i = 0; i < values.size(); ++i) {
    if (given[i]) continue;
    const ParamInfo& param = member.params[i];
    if (!param.optional) throw py::type_error(member.name + "() missing required argument '" + param.name + "'");
    values[i] = param.default_value;
  }
  return values;
}

}  // namespace automation::python
