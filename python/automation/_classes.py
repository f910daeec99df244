"""One Python class per component class, so help(), dir() and editors see its members."""
from . import _native
from . import _type_library


class Dispatch(_native.Dispatch):
    """A late-bound object: properties as attributes, methods as calls, names in any case.

    Dispatch("Library.Class") or Dispatch("{class identifier}") creates an object;
    Dispatch("Library") is the library's application object.
    """
    __slots__ = ()
    __module__ = "automation"

    def __new__(cls, name):
        return _native.create(name)

    def __init__(self, name):
        # The object is whole once __new__ returns.
        pass

    def __dir__(self):
        return sorted(set(super().__dir__()) | set(self._member_names))


_classes = {}


def class_for(prog_id):
    """The Python class of a component class, made on first use from its type library."""
    key = prog_id.lower()
    made = _classes.get(key)
    if made is None:
        library_name, _, class_name = prog_id.partition(".")
        entry = _type_library.find_class(library_name, class_name)
        namespace = {"__slots__": (), "__module__": "automation", "__member_docs__": {}}
        if entry is not None:
            namespace["__doc__"] = _type_library.class_doc(entry)
            namespace["__member_docs__"] = {group["name"].lower(): _type_library.member_text(group)
                                            for group in _type_library.grouped_members(entry)}
        made = type(Dispatch)(class_name or prog_id, (Dispatch,), namespace)
        _native.adopt_component_class(made)
        _classes[key] = made
    return made


def _wrap(reference):
    instance = _native.Dispatch.__new__(class_for(reference.prog_id))
    _native.Dispatch.__init__(instance, reference)
    return instance


_native.set_wrapper_factory(_wrap)
