#include <string>
#include <vector>

#include <pybind11/stl.h>

#include "automation/application_object.hpp"
#include "automation/class_registry.hpp"
#include "automation/dispatch.hpp"
#include "automation/type_library.hpp"
#include "call_arguments.hpp"
#include "interrupt.hpp"
#include "member_table.hpp"
#include "module_parts.hpp"
#include "python_callback.hpp"
#include "python_types.hpp"

namespace automation::python {
namespace {

// Set by the package: makes the Python object for a reference, an instance
// of the Python class of its component class. Kept for the life of the process.
PyObject* wrapper_factory = nullptr;

// "Library.Class" and "{class identifier}" create an instance; a library name
// alone ("Krelvo") names the library's application object.
ObjectRef resolve_object(const std::string& name) {
  py::gil_scoped_release release;
  if (name.find('.') != std::string::npos || name.starts_with('{')) return create_object(name);
  return application_object(name);
}

// Runs a member with the GIL released; a member without a result returns
// what it wrote into its by-reference parameters.
py::object call_member(const ObjectRef& object, const MemberInfo& member, py::args args, py::kwargs kwargs) {
  std::vector<Variant> values = call_arguments(member, args, kwargs);
  Variant result;
  {
    InterruptWatch watch(object, member);
    {
      py::gil_scoped_release release;
      result = invoke(*object, member, values);
    }
    watch.raise_if_interrupted();
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

[[noreturn]] void raise_no_member(const ClassInfo& info, const std::string& name) {
  std::string message = info.name + " has no member '" + name + "'";
  const std::string closest = closest_member(info, name);
  if (!closest.empty()) message += "; did you mean '" + closest + "'?";
  throw py::attribute_error(message);
}

// A member's value as an attribute: a property without arguments is read,
// anything else is bound for a later call.
py::object member_value(py::object self, const MemberEntry& entry, const std::string& name) {
  const ObjectRef& object = self.cast<PyDispatch&>().object;
  if (entry.getter != nullptr && takes_no_arguments(*entry.getter))
    return call_member(object, *entry.getter, py::args(), py::kwargs());
  const MemberInfo* member = entry.method != nullptr ? entry.method : entry.getter;
  // A write-only property: the component's own "doesn't support this property".
  if (member == nullptr) invoke(*object, name, MemberKind::kPropertyGet);
  // The bound member keeps the wrapper, and so its event sink, alive while it runs.
  return py::cast(PyBoundMember{self, member});
}

// Reached only when ordinary lookup failed: members come after the Python
// attributes of the class and, for objects with events, of the handler.
py::object get_attribute(py::object self, const std::string& name) {
  const ClassInfo& info = self.cast<PyDispatch&>().object->class_info();
  if (name.starts_with("__")) throw py::attribute_error(name);
  const MemberEntry* entry = find_entry(info, name);
  if (entry == nullptr) raise_no_member(info, name);
  return member_value(self, *entry, name);
}

// The attribute slot of the component classes' own Python types: members
// first. The generic lookup a missing name goes through first builds an
// AttributeError, most of the cost of a property read.
PyObject* component_getattro(PyObject* self, PyObject* name) {
  try {
    Py_ssize_t size = 0;
    const char* utf8 = PyUnicode_Check(name) ? PyUnicode_AsUTF8AndSize(name, &size) : nullptr;
    if (utf8 == nullptr) return PyObject_GenericGetAttr(self, name);
    const std::string text(utf8, static_cast<std::size_t>(size));
    if (!text.starts_with("_")) {
      const py::object wrapper = py::reinterpret_borrow<py::object>(self);
      if (const MemberEntry* entry = find_entry(wrapper.cast<PyDispatch&>().object->class_info(), text))
        return member_value(wrapper, *entry, text).release().ptr();
    }
    PyObject* found = PyObject_GenericGetAttr(self, name);
    if (found != nullptr || !PyErr_ExceptionMatches(PyExc_AttributeError)) return found;
    PyErr_Clear();
    return get_attribute(py::reinterpret_borrow<py::object>(self), text).release().ptr();
  } catch (py::error_already_set& error) {
    error.restore();
  } catch (...) {
    if (!py::detail::apply_exception_translators(py::detail::get_internals().registered_exception_translators))
      PyErr_SetString(PyExc_SystemError, "an exception escaped the attribute lookup");
  }
  return nullptr;
}

// Plain objects take members only, so a typo cannot pass silently. Objects
// with events keep Python attributes too: the handler's state, and names the
// handler class defines.
void set_attribute(py::object self, py::str name, py::object value) {
  const ObjectRef& object = self.cast<PyDispatch&>().object;
  const std::string text = name;
  const bool keeps_python_attributes = Py_TYPE(self.ptr())->tp_dictoffset != 0;
  if (keeps_python_attributes) {
    const bool python_name = text.starts_with("_") || py::hasattr(py::type::of(self), name) ||
                             self.attr("__dict__").contains(name) || find_entry(object->class_info(), text) == nullptr;
    if (python_name) {
      if (PyObject_GenericSetAttr(self.ptr(), name.ptr(), value.ptr()) != 0) throw py::error_already_set();
      return;
    }
  }
  const MemberEntry* entry = find_entry(object->class_info(), text);
  if (entry == nullptr) raise_no_member(object->class_info(), text);
  Variant argument = to_variant(value);
  py::gil_scoped_release release;
  // No put: the component's own "doesn't support this property".
  if (entry->putter == nullptr) invoke(*object, text, MemberKind::kPropertyPut, std::span<Variant>(&argument, 1));
  invoke(*object, *entry->putter, std::span<Variant>(&argument, 1));
}

// The matching setter slot: straight to set_attribute, without the lookup
// and argument conversion of a bound __setattr__.
int component_setattro(PyObject* self, PyObject* name, PyObject* value) {
  try {
    if (value == nullptr || !PyUnicode_Check(name)) return PyObject_GenericSetAttr(self, name, value);
    set_attribute(py::reinterpret_borrow<py::object>(self), py::reinterpret_borrow<py::str>(name),
                  py::reinterpret_borrow<py::object>(value));
    return 0;
  } catch (py::error_already_set& error) {
    error.restore();
  } catch (...) {
    if (!py::detail::apply_exception_translators(py::detail::get_internals().registered_exception_translators))
      PyErr_SetString(PyExc_SystemError, "an exception escaped the attribute assignment");
  }
  return -1;
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
      // Ctrl-C in a handler stops the run; the caller gets it when the call returns.
      if (error.matches(PyExc_KeyboardInterrupt)) return interrupt_from_handler();
      // The component raising the event cannot handle a Python error.
      error.discard_as_unraisable(handler.c_str());
    }
  });
}

// An object that is both an instance of the component's Python class and of handler_class.
py::object dispatch_with_events(const std::string& name, py::object handler_class) {
  if (!PyType_Check(handler_class.ptr()))
    throw py::type_error("DispatchWithEvents needs a handler class, not a " +
                         std::string(Py_TYPE(handler_class.ptr())->tp_name));
  py::object made = wrap_object(resolve_object(name));
  py::object component_class = py::type::of(made);
  py::object metatype = py::reinterpret_borrow<py::object>(reinterpret_cast<PyObject*>(Py_TYPE(component_class.ptr())));
  py::object combined =
      metatype(handler_class.attr("__name__"), py::make_tuple(handler_class, component_class), py::dict());
  py::object instance = py::type::of<PyDispatch>().attr("__new__")(combined);
  py::type::of<PyDispatch>().attr("__init__")(instance, PyReference{made.cast<PyDispatch&>().object});
  connect_sink(instance);
  py::object handler_init = handler_class.attr("__init__");
  if (!handler_init.is(py::module_::import("builtins").attr("object").attr("__init__"))) handler_init(instance);
  return instance;
}

std::string class_of(const py::object& owner) { return owner.cast<PyDispatch&>().object->class_info().name; }

// The call slot of bound members, without the overload resolution of a bound __call__.
PyObject* bound_member_call(PyObject* self, PyObject* args, PyObject* kwargs) {
  try {
    const auto& bound = py::handle(self).cast<const PyBoundMember&>();
    const py::args positional = py::reinterpret_borrow<py::args>(args);
    const py::kwargs keywords = kwargs != nullptr ? py::reinterpret_borrow<py::kwargs>(kwargs) : py::kwargs();
    return call_member(bound.owner.cast<PyDispatch&>().object, *bound.member, positional, keywords).release().ptr();
  } catch (py::error_already_set& error) {
    error.restore();
  } catch (...) {
    if (!py::detail::apply_exception_translators(py::detail::get_internals().registered_exception_translators))
      PyErr_SetString(PyExc_SystemError, "an exception escaped the call");
  }
  return nullptr;
}

void bind_bound_member(py::module_& module) {
  auto bound_member =
      py::class_<PyBoundMember>(module, "BoundMember", "A method or a property with arguments, taken from an object.");
  bound_member
      // A class cannot hold __name__ as a property: it is the class's own name.
      .def("__getattr__",
           [](const PyBoundMember& self, const std::string& name) -> std::string {
             if (name == "__name__") return self.member->name;
             if (name == "__qualname__") return class_of(self.owner) + "." + self.member->name;
             throw py::attribute_error(name);
           })
      .def_property_readonly("__self__", [](const PyBoundMember& self) { return self.owner; })
      .def_property_readonly("__doc__",
                             [](const PyBoundMember& self) -> py::object {
                               const py::object docs = py::getattr(py::type::of(self.owner), "__member_docs__", py::dict());
                               return docs.attr("get")(py::str(self.member->name).attr("lower")());
                             })
      .def("__repr__", [](const PyBoundMember& self) {
        return "<bound member " + class_of(self.owner) + "." + self.member->name + " of " +
               py::repr(self.owner).cast<std::string>() + ">";
      });
  // Set after the class is made: a slot in place of a bound __call__.
  reinterpret_cast<PyTypeObject*>(bound_member.ptr())->tp_call = &bound_member_call;
}

}  // namespace

PyDispatch::~PyDispatch() {
  if (sink_cookie != 0) disconnect_events(*object, sink_cookie);
}

py::object wrap_object(ObjectRef object) {
  if (!object) return py::none();
  if (wrapper_factory == nullptr) return py::cast(std::make_shared<PyDispatch>(std::move(object)));
  return py::reinterpret_borrow<py::object>(wrapper_factory)(PyReference{std::move(object)});
}

void bind_dispatch(py::module_& module) {
  py::class_<PyReference>(module, "Reference", "An object reference on its way to its Python class.")
      .def_property_readonly("prog_id", [](const PyReference& self) { return self.object->class_info().prog_id(); })
      .def_property_readonly("library", [](const PyReference& self) { return self.object->class_info().library; });
  bind_bound_member(module);
  py::class_<PyDispatch, std::shared_ptr<PyDispatch>>(
      module, "Dispatch", "A late-bound object: properties as attributes, methods as calls, names in any case.")
      .def(py::init([](const PyReference& reference) { return std::make_shared<PyDispatch>(reference.object); }),
           py::arg("reference"))
      .def("__getattr__", &get_attribute)
      .def("__setattr__", &set_attribute)
      .def("__eq__",
           [](const PyDispatch& self, py::object other) -> py::object {
             if (!py::isinstance<PyDispatch>(other)) return py::reinterpret_borrow<py::object>(Py_NotImplemented);
             return py::bool_(self.object == other.cast<const PyDispatch&>().object);
           })
      .def("__hash__", [](const PyDispatch& self) { return std::hash<const Object*>{}(self.object.get()); })
      .def_property_readonly("_prog_id", [](const PyDispatch& self) { return self.object->class_info().prog_id(); })
      .def_property_readonly("_member_names",
                             [](const PyDispatch& self) { return member_names(self.object->class_info()); })
      .def("__repr__",
           [](const PyDispatch& self) { return "<automation.Dispatch " + self.object->class_info().prog_id() + ">"; });
  module.def(
      "create", [](const std::string& name) { return wrap_object(resolve_object(name)); }, py::arg("name"),
      "Creates the object by program identifier, class identifier or library name.");
  module.def("DispatchWithEvents", &dispatch_with_events, py::arg("name"), py::arg("handler_class"),
             "Creates the object and connects its events to On<Event> methods of handler_class.");
  module.def(
      "set_wrapper_factory",
      [](py::object factory) {
        Py_XDECREF(wrapper_factory);
        wrapper_factory = factory.release().ptr();
      },
      py::arg("factory"), "factory(reference) makes the Python object for each object reference.");
  module.def(
      "adopt_component_class",
      [](py::type component_class) {
        if (!PyType_IsSubtype(reinterpret_cast<PyTypeObject*>(component_class.ptr()),
                                                            reinterpret_cast<PyTypeObject*>(py::type::of<PyDispatch>().ptr())))
          throw py::type_error("not a Dispatch class");
        auto* type = reinterpret_cast<PyTypeObject*>(component_class.ptr());
        type->tp_getattro = &component_getattro;
        type->tp_setattro = &component_setattro;
        PyType_Modified(type);
      },
      py::arg("component_class"), "Gives a component class's Python type the fast member lookup.");
  module.def(
      "type_library", [](const std::string& library) { return type_library_json(library); }, py::arg("library"),
      "The type library of a component library as JSON text, loading the library when needed.");
  module.def(
      "loaded_libraries",
      [] {
        std::vector<std::string> names;
        for (const LibraryInfo* library : loaded_libraries()) names.push_back(library->name);
        return names;
      },
      "The names of the component libraries loaded in this process.");
}

}  // namespace automation::python
