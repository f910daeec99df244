#include <string>
#include <vector>

#include "automation/application_object.hpp"
#include "automation/class_registry.hpp"
#include "automation/dispatch.hpp"
#include "module_parts.hpp"
#include "python_callback.hpp"
#include "python_types.hpp"

namespace automation::python {
namespace {

// "Library.Class" and "{class identifier}" create an instance; a library name
// alone ("Krelvo") names the library's application object.
ObjectRef resolve_object(const std::string& name) {
  py::gil_scoped_release release;
  if (name.find('.') != std::string::npos || name.starts_with('{')) return create_object(name);
  return application_object(name);
}

// Runs a member with the GIL released; a member without a result returns
// what it wrote into its by-reference parameters.
py::object call_member(const ObjectRef& object, const MemberInfo& member, py::args args) {
  std::vector<Variant> values;
  values.reserve(args.size());
  for (py::handle arg : args) values.push_back(to_variant(arg));
  Variant result;
  {
    py::gil_scoped_release release;
    result = invoke(*object, member, values);
  }
  if (member.result != VarType::kEmpty) return to_python(result);
  std::vector<py::object> written;
  for (std::size_t i = 0; i < values.size(); ++i)
    if (member.params[i].by_ref) written.push_back(to_python(values[i]));
  if (written.empty()) return py::none();
  if (written.size() == 1) return written.front();
  py::tuple tuple(written.size());
  for (std::size_t i = 0; i < written.size(); ++i) tuple[i] = written[i];
  return tuple;
}

bool takes_no_arguments(const MemberInfo& member) {
  for (const ParamInfo& param : member.params)
    if (!param.optional) return false;
  return true;
}

py::object get_attribute(py::object self, const std::string& name) {
  const ObjectRef& object = self.cast<PyDispatch&>().object;
  const ClassInfo& info = object->class_info();
  if (!name.starts_with("__")) {
    const MemberInfo* getter = find_member(info, name, MemberKind::kPropertyGet);
    if (getter != nullptr && takes_no_arguments(*getter)) return call_member(object, *getter, py::args());
    const MemberInfo* member = find_member(info, name, MemberKind::kMethod);
    if (member == nullptr) member = getter;
    // The bound member keeps the wrapper, and so its event sink, alive while it runs.
    if (member != nullptr)
      return py::cpp_function([self, member](py::args args) {
        return call_member(self.cast<PyDispatch&>().object, *member, std::move(args));
      });
    if (has_member(info, name)) {
      invoke(*object, name, MemberKind::kPropertyGet);  // raises "doesn't support this property"
    }
  }
  throw py::attribute_error(info.name + " has no member '" + name + "'");
}

void set_attribute(py::object self, py::str name, py::object value) {
  const ObjectRef& object = self.cast<PyDispatch&>().object;
  const std::string text = name;
  // Names that are no member (a handler's own state) stay Python attributes.
  if (text.starts_with("_") || !has_member(object->class_info(), text)) {
    if (PyObject_GenericSetAttr(self.ptr(), name.ptr(), value.ptr()) != 0) throw py::error_already_set();
    return;
  }
  Variant argument = to_variant(value);
  py::gil_scoped_release release;
  invoke(*object, text, MemberKind::kPropertyPut, std::span<Variant>(&argument, 1));
}

// Events reach On<EventName>(self, *args) of the wrapper while it lives.
void connect_sink(py::object instance) {
  PyDispatch& dispatch = instance.cast<PyDispatch&>();
  HeldObject target = hold(py::weakref(instance));
  dispatch.sink_cookie = connect_events(*dispatch.object, [target](const std::string& event, std::span<Variant> args) {
    py::gil_scoped_acquire gil;
    py::object sink = (*target)();
    const std::string handler = "On" + event;
    if (sink.is_none() || !py::hasattr(sink, handler.c_str())) return;
    py::tuple values(args.size());
    for (std::size_t i = 0; i < args.size(); ++i) values[i] = to_python(args[i]);
    try {
      sink.attr(handler.c_str())(*values);
    } catch (py::error_already_set& error) {
      // The component raising the event cannot handle a Python error.
      error.discard_as_unraisable(handler.c_str());
    }
  });
}

// An object that is both the dispatch object and an instance of handler_class.
py::object dispatch_with_events(const std::string& name, py::object handler_class) {
  py::object dispatch_type = py::type::of<PyDispatch>();
  py::object metatype = py::reinterpret_borrow<py::object>(reinterpret_cast<PyObject*>(&PyType_Type));
  py::object combined =
      metatype(handler_class.attr("__name__"), py::make_tuple(handler_class, dispatch_type), py::dict());
  py::object instance = combined.attr("__new__")(combined);
  dispatch_type.attr("__init__")(instance, name);
  connect_sink(instance);
  py::object handler_init = handler_class.attr("__init__");
  if (!handler_init.is(py::module_::import("builtins").attr("object").attr("__init__"))) handler_init(instance);
  return instance;
}

}  // namespace

PyDispatch::~PyDispatch() {
  if (sink_cookie != 0) disconnect_events(*object, sink_cookie);
}

py::object wrap_object(ObjectRef object) {
  if (!object) return py::none();
  return py::cast(std::make_shared<PyDispatch>(std::move(object)));
}

void bind_dispatch(py::module_& module) {
  py::class_<PyDispatch, std::shared_ptr<PyDispatch>>(
      module, "Dispatch", py::dynamic_attr(),
      "A late-bound object: properties as attributes, methods as calls, names in any case.")
      .def(py::init([](const std::string& name) { return std::make_shared<PyDispatch>(resolve_object(name)); }),
           py::arg("name"))
      .def("__getattr__", &get_attribute)
      .def("__setattr__", &set_attribute)
      .def("__repr__",
           [](const PyDispatch& self) { return "<automation.Dispatch " + self.object->class_info().prog_id() + ">"; });
  module.def("DispatchWithEvents", &dispatch_with_events, py::arg("name"), py::arg("handler_class"),
             "Creates the object and connects its events to On<Event> methods of handler_class.");
}

}  // namespace automation::python
