"""The type libraries of the component libraries, read once, and the text that describes their members."""
import functools
import json

from . import _native

# Automation type numbers to the Python types that carry them.
_PYTHON_TYPES = {0: "None", 2: "int", 3: "int", 5: "float", 8: "str", 9: "automation.Dispatch", 11: "bool",
                 12: "typing.Any"}
_ARRAY = 0x2000


@functools.lru_cache(maxsize=None)
def library(name):
    """The type library of `name` as a dict; loads the library when needed."""
    return json.loads(_native.type_library(name))


def find_class(library_name, class_name):
    """The class entry of the type library, or None."""
    try:
        described = library(library_name)
    except _native.Error:
        return None
    for entry in described["classes"]:
        if entry["name"].lower() == class_name.lower():
            return entry
    return None


def python_type(type_entry):
    """The annotation for an automation type entry ({"name", "vt"}) or None for no result."""
    if type_entry is None:
        return "None"
    vt = type_entry["vt"]
    if vt & _ARRAY:
        return "automation.SafeArray"
    return _PYTHON_TYPES.get(vt, "typing.Any")


def grouped_members(class_entry):
    """Members by name in slot order: {"name", "get", "put", "method"} with the type library entries."""
    groups = {}
    for member in class_entry["interface"]["members"]:
        group = groups.setdefault(member["name"].lower(), {"name": member["name"], "get": None, "put": None,
                                                            "method": None})
        kind = {"propget": "get", "propput": "put", "method": "method"}[member["kind"]]
        group[kind] = group[kind] or member
    return list(groups.values())


def parameter_text(param):
    text = f'{"ByRef " if param["by_ref"] else ""}{param["name"]}: {param["type"]["name"]}'
    if param["optional"]:
        text += f' = {param.get("default")!r}'
    return text


def member_text(group):
    """One member as help shows it: kind, parameters with types, defaults, by-reference marks, result."""
    name = group["name"]
    getter, putter, method = group["get"], group["put"], group["method"]
    if method is not None:
        params = ", ".join(parameter_text(p) for p in method["params"])
        result = method["result"]["name"] if method["result"] else "nothing"
        return f"{name}({params}) -> {result}    method"
    main = getter or putter
    access = "read/write" if getter and putter else "read-only" if getter else "write-only"
    type_name = getter["result"]["name"] if getter and getter["result"] else putter["params"][-1]["type"]["name"]
    indexes = main["params"] if getter else main["params"][:-1]
    index_text = f'({", ".join(parameter_text(p) for p in indexes)})' if indexes else ""
    return f"{name}{index_text}: {type_name}    property, {access}"


def class_doc(class_entry):
    lines = [f'{class_entry["prog_id"]} {class_entry["clsid"]}', "", "Members:"]
    lines += ["    " + member_text(group) for group in grouped_members(class_entry)]
    events = class_entry.get("events")
    if events:
        lines += ["", "Events (handler methods On<Name> of DispatchWithEvents):"]
        for event in events["members"]:
            lines.append(f'    {event["name"]}({", ".join(parameter_text(p) for p in event["params"])})')
    return "\n".join(lines)
