// The simplest class a test component server offers: no events, one Long
// property `answer`, so a test can tell which library a creation reached.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "automation/component_server.hpp"

namespace test_support {

template <class Class>
automation::ClassInfo answer_class(std::string library, std::string name, std::string clsid, std::string iid,
                                   int32_t answer) {
  const std::string interface_name = "_" + name;
  return automation::ClassInfo{
      .library = std::move(library),
      .name = std::move(name),
      .clsid = std::move(clsid),
      .interface_name = interface_name,
      .iid = std::move(iid),
      .event_interface_name = {},
      .event_iid = {},
      .events = {},
      .members = {{"answer",
                   automation::MemberKind::kPropertyGet,
                   automation::VarType::kI4,
                   {},
                   [answer](automation::Object&, std::span<automation::Variant>) {
                     return automation::Variant(answer);
                   }}},
      .create = [] { return std::make_shared<Class>(); },
  };
}

}  // namespace test_support
