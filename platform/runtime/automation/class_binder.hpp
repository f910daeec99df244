// Describes a class for late binding from its C++ members: each parameter's
// automation type comes from its C++ type, and a non-const reference makes it
// by reference, so a member is one line and its types are stated once:
//
//   ClassBinder<clsAPI>(identity)
//       .method("GetString", &clsAPI::GetString, {"hKey", "strPath", "strValue"})
//       .property("razina", &clsOptimizacija::get_razina, &clsOptimizacija::put_razina)
//       .info();
//
// Members are added in slot order; the invokers receive arguments the dispatch
// layer has already coerced to the declared types.
#pragma once

#include <array>
#include <cstddef>
#include <memory>
#include <span>
#include <string>
#include <tuple>
#include <type_traits>
#include <utility>

#include "automation/dispatch.hpp"
#include "automation/object.hpp"

namespace automation {

// A parameter as hosts see it: its name and, when optional, its default.
class Arg {
 public:
  Arg(const char* name) : name_(name) {}  // implicit: a bare name is the common case
  Arg(const char* name, Variant default_value)
      : name_(name), optional_(true), default_value_(std::move(default_value)) {}

  // Declared by reference although the member takes a const reference: the
  // host passes its own array, which is read and never written back.
  static Arg by_reference(const char* name) {
    Arg declared(name);
    declared.by_reference_ = true;
    return declared;
  }

  ParamInfo describe(VarType type, bool by_reference) const {
    return {name_, type, by_reference || by_reference_, optional_, default_value_};
  }

 private:
  std::string name_;
  bool by_reference_ = false;
  bool optional_ = false;
  Variant default_value_;
};

namespace binding {

template <class T>
struct IsSafeArray : std::false_type {};
template <class T>
struct IsSafeArray<SafeArray<T>> : std::true_type {
  using Element = T;
};

template <class T>
struct IsObjectRef : std::false_type {};
template <class T>
struct IsObjectRef<std::shared_ptr<T>> : std::is_base_of<Object, T> {};

template <class T>
inline constexpr bool kAlwaysFalse = false;

// The automation type that carries a C++ value; void is no result.
template <class T>
constexpr VarType variant_type_of() {
  using Value = std::remove_cvref_t<T>;
  if constexpr (std::is_void_v<Value>)
    return VarType::kEmpty;
  else if constexpr (std::is_same_v<Value, int16_t>)
    return VarType::kI2;
  else if constexpr (std::is_same_v<Value, int32_t>)
    return VarType::kI4;
  else if constexpr (std::is_same_v<Value, double>)
    return VarType::kR8;
  else if constexpr (std::is_same_v<Value, VariantBool>)
    return VarType::kBool;
  else if constexpr (std::is_same_v<Value, Bstr>)
    return VarType::kBstr;
  else if constexpr (std::is_same_v<Value, Variant>)
    return VarType::kVariant;
  else if constexpr (IsSafeArray<Value>::value)
    return array_of(variant_type_of<typename IsSafeArray<Value>::Element>());
  else if constexpr (IsObjectRef<Value>::value)
    return VarType::kDispatch;
  else
    static_assert(kAlwaysFalse<Value>, "no automation type carries this C++ type");
}

// Written back to the caller only through a non-const reference.
template <class T>
inline constexpr bool kByReference = std::is_lvalue_reference_v<T> && !std::is_const_v<std::remove_reference_t<T>>;

template <class Member>
struct MemberTraits;
template <class Class, class R, class... A>
struct MemberTraits<R (Class::*)(A...)> {
  using Result = R;
  using Params = std::tuple<A...>;
  static constexpr std::size_t kArity = sizeof...(A);
};
template <class Class, class R, class... A>
struct MemberTraits<R (Class::*)(A...) const> : MemberTraits<R (Class::*)(A...)> {};

// The coerced argument itself, so a reference parameter writes into it.
template <class Param>
decltype(auto) argument(Variant& value) {
  using Value = std::remove_cvref_t<Param>;
  if constexpr (std::is_same_v<Value, Variant>)
    return (value);
  else
    return value.get<Value>();
}

template <class Class, class Member, std::size_t... I>
Variant call(Class& object, Member member, [[maybe_unused]] std::span<Variant> args, std::index_sequence<I...>) {
  using Traits = MemberTraits<Member>;
  using Result = typename Traits::Result;
  const auto run = [&]() -> Result {
    return (object.*member)(argument<std::tuple_element_t<I, typename Traits::Params>>(args[I])...);
  };
  if constexpr (std::is_void_v<Result>) {
    run();
    return {};
  } else if constexpr (IsObjectRef<std::remove_cvref_t<Result>>::value) {
    return Variant(ObjectRef(run()));
  } else {
    return Variant(run());
  }
}

}  // namespace binding

template <class Class>
class ClassBinder {
 public:
  // identity: names, identifiers, events and creation; members follow.
  explicit ClassBinder(ClassInfo identity) : info_(std::move(identity)) {}

  template <class R, class... A>
  ClassBinder& method(std::string name, R (Class::*member)(A...), std::array<Arg, sizeof...(A)> params = {}) {
    return add(std::move(name), MemberKind::kMethod, member, params);
  }
  template <class R, class... A>
  ClassBinder& method(std::string name, R (Class::*member)(A...) const, std::array<Arg, sizeof...(A)> params = {}) {
    return add(std::move(name), MemberKind::kMethod, member, params);
  }

  template <class R>
  ClassBinder& property_get(std::string name, R (Class::*get)()) {
    return add(std::move(name), MemberKind::kPropertyGet, get, {});
  }
  template <class R>
  ClassBinder& property_get(std::string name, R (Class::*get)() const) {
    return add(std::move(name), MemberKind::kPropertyGet, get, {});
  }
  // A variant result that hosts know by a narrower declared type.
  ClassBinder& property_get(std::string name, Variant (Class::*get)() const, VarType declared_result) {
    add(std::move(name), MemberKind::kPropertyGet, get, {});
    info_.members.back().result = declared_result;
    return *this;
  }

  template <class Value>
  ClassBinder& property_put(std::string name, void (Class::*put)(Value), Arg value = "value") {
    return add(std::move(name), MemberKind::kPropertyPut, put, {std::move(value)});
  }

  // The get, then the put of one property.
  template <class Got, class Value>
  ClassBinder& property(std::string name, Got (Class::*get)() const, void (Class::*put)(Value), Arg value = "value") {
    property_get(name, get);
    return property_put(std::move(name), put, std::move(value));
  }

  // Hands the finished description over; the binder is spent.
  ClassInfo info() { return std::move(info_); }

 private:
  template <class Member>
  ClassBinder& add(std::string name, MemberKind kind, Member member,
                   const std::array<Arg, binding::MemberTraits<Member>::kArity>& params) {
    using Traits = binding::MemberTraits<Member>;
    MemberInfo described{
        .name = std::move(name),
        .kind = kind,
        .result = binding::variant_type_of<typename Traits::Result>(),
        .params = {},
        .invoke = [member](Object& self, std::span<Variant> args) -> Variant {
          if (args.size() != Traits::kArity)
            raise_error(kErrWrongArgumentCount, "Wrong number of arguments: " + std::to_string(Traits::kArity) +
                                                    " expected, " + std::to_string(args.size()) + " given");
          return binding::call(static_cast<Class&>(self), member, args, std::make_index_sequence<Traits::kArity>());
        }};
    describe_params(described.params, params, std::make_index_sequence<Traits::kArity>(),
                    static_cast<typename Traits::Params*>(nullptr));
    info_.members.push_back(std::move(described));
    return *this;
  }

  template <std::size_t N, std::size_t... I, class... A>
  static void describe_params(std::vector<ParamInfo>& described, [[maybe_unused]] const std::array<Arg, N>& params,
                              std::index_sequence<I...>, std::tuple<A...>*) {
    (described.push_back(params[I].describe(binding::variant_type_of<A>(), binding::kByReference<A>)), ...);
  }

  ClassInfo info_;
};

}  // namespace automation
