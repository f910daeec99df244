"""Writes a Python module and its .pyi from a component library's type library, so editors
complete and check code: one class per component class with typed properties and methods,
the enumeration members as constants. Every call goes through automation.Dispatch.

    python3 -m automation.generate Krelvo [Drumel ...] [-o FOLDER]

writes FOLDER/krelvo.py and FOLDER/krelvo.pyi (FOLDER defaults to the current folder).
"""
import argparse
import keyword
import os
import sys

from . import _native
from . import _type_library as described

_HEADER = '"""{name} {version} ({libid}), generated from its type library by automation.generate."""\n'


def _parameter(param):
    annotation = described.python_type(param["type"])
    if param["optional"]:
        return f'{param["name"]}: {annotation} = {param.get("default")!r}'
    return f"{param['name']}: {annotation}"


def _signature(params):
    return ", ".join(["self"] + [_parameter(p) for p in params])


def _call(params):
    return ", ".join(p["name"] for p in params)


def _result(member):
    by_ref = [p for p in member["params"] if p["by_ref"]]
    if member["result"] is None and by_ref:
        # A member without a result returns what it wrote into its by-reference parameters.
        types = [described.python_type(p["type"]) for p in by_ref]
        return types[0] if len(types) == 1 else f"tuple[{', '.join(types)}]"
    return described.python_type(member["result"])


def _doc(text, indent):
    return f'{indent}"""{text}"""\n'


def _class_lines(entry, stub):
    lines = [f"class {entry['name']}:\n", _doc(described.class_doc(entry).replace("\\", "\\\\"), "    ")]
    if not stub:
        lines += [f"    PROG_ID = {entry['prog_id']!r}\n",
                  f"    CLSID = {entry['clsid']!r}\n",
                  "    __slots__ = ('_dispatch',)\n\n",
                  "    def __init__(self, dispatch=None):\n",
                  "        self._dispatch = automation.Dispatch(self.PROG_ID) if dispatch is None else dispatch\n\n",
                  "    def __repr__(self):\n",
                  "        return f'<{self.PROG_ID} {self._dispatch!r}>'\n\n"]
    else:
        lines += ["    PROG_ID: str\n", "    CLSID: str\n",
                  "    def __init__(self, dispatch: automation.Dispatch | None = None) -> None: ...\n"]
    body = " ..." if stub else None
    for group in described.grouped_members(entry):
        name = group["name"]
        attribute = name + "_" if keyword.iskeyword(name) else name
        getter, putter, method = group["get"], group["put"], group["method"]
        doc = _doc(described.member_text(group), "        ")
        callable_member = method or (getter if getter and getter["params"] else None)
        if callable_member is not None:
            params = callable_member["params"]
            head = f"    def {attribute}({_signature(params)}) -> {_result(callable_member)}:"
            lines.append(head + body + "\n" if stub else
                         head + "\n" + doc + f"        return self._dispatch.{name}({_call(params)})\n\n")
            continue
        value_type = described.python_type(getter["result"] if getter else putter["params"][-1]["type"])
        if stub:
            lines.append(f"    {attribute}: {value_type}\n")
            continue
        if getter:
            lines += ["    @property\n", f"    def {attribute}(self) -> {value_type}:\n", doc,
                      f"        return self._dispatch.{name}\n\n"]
        else:
            lines += [f"    {attribute} = property(None, None, None, {described.member_text(group)!r})\n\n"]
        if putter:
            lines += [f"    @{attribute}.setter\n", f"    def {attribute}(self, value: {value_type}) -> None:\n",
                      f"        self._dispatch.{name} = value\n\n"]
    return lines


def module_text(library_name, stub=False):
    """The source of the wrapper module (or of its stub) for a library."""
    library = described.library(library_name)
    lines = [_HEADER.format(**library), "import typing\n\n", "import automation\n\n"]
    for enumeration in library["enums"]:
        lines.append(f"# {enumeration['name']}\n")
        for member in enumeration["members"]:
            lines.append(f"{member['name']}: int = {member['value']}\n" if not stub else f"{member['name']}: int\n")
        lines.append("\n")
    for entry in library["classes"]:
        lines += _class_lines(entry, stub)
        lines.append("\n")
    return "".join(lines).rstrip("\n") + "\n"


def write_module(library_name, folder):
    """Writes <library>.py and <library>.pyi into folder; returns their paths."""
    written = []
    for suffix, stub in ((".py", False), (".pyi", True)):
        path = os.path.join(folder, library_name.lower() + suffix)
        text = module_text(library_name, stub)
        temporary = path + ".partial"
        with open(temporary, "w", encoding="utf-8") as out:
            out.write(text)
        os.replace(temporary, path)
        written.append(path)
    return written


def main(argv=None):
    parser = argparse.ArgumentParser(prog="python3 -m automation.generate", description=__doc__.split("\n\n")[0])
    parser.add_argument("libraries", nargs="+", metavar="LIBRARY", help="a component library name, e.g. Krelvo")
    parser.add_argument("-o", "--output", default=".", metavar="FOLDER", help="where to write (default: .)")
    options = parser.parse_args(argv)
    if not os.path.isdir(options.output):
        parser.error(f"{options.output}: no such folder")
    for name in options.libraries:
        try:
            for path in write_module(name, options.output):
                print(path)
        except _native.Error as error:
            print(f"automation.generate: {name}: {error.description}", file=sys.stderr)
            return 1
        except OSError as error:
            print(f"automation.generate: {error}", file=sys.stderr)
            return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
