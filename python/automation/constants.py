"""The enumeration members of every component library loaded in this process, by name in any case:
automation.constants.standardna once Krelvo is loaded."""
from . import _native
from . import _type_library


def _all_constants():
    found = {}
    for library in _native.loaded_libraries():
        for enumeration in _type_library.library(library)["enums"]:
            for member in enumeration["members"]:
                found.setdefault(member["name"].lower(), (member["name"], member["value"]))
    return found


def __getattr__(name):
    found = _all_constants().get(name.lower())
    if found is None:
        raise AttributeError(f"no loaded library has a constant named {name!r}")
    return found[1]


def __dir__():
    return sorted(spelled for spelled, _ in _all_constants().values())
