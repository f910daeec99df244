"""The type stub beside the package names exactly what the package exports."""
import ast
import pathlib
import unittest

import automation

STUB = pathlib.Path(automation.__file__).with_name("__init__.pyi")


def stub_names():
    tree = ast.parse(STUB.read_text())
    names = {node.name for node in tree.body if isinstance(node, (ast.ClassDef, ast.FunctionDef))}
    names |= {alias.asname or alias.name for node in tree.body if isinstance(node, ast.ImportFrom)
              for alias in node.names if node.module is None}
    return names


def module_names():
    return set(automation.__all__)


class TypeStub(unittest.TestCase):
    def test_the_stub_ships_beside_the_module_with_its_marker(self):
        self.assertTrue(STUB.is_file(), STUB)
        self.assertTrue(STUB.with_name("py.typed").is_file())

    def test_every_public_name_is_exported(self):
        public = {name for name, value in vars(automation).items()
                  if not name.startswith("_") and not isinstance(value, type(automation))}
        self.assertEqual(public - module_names(), set())

    def test_every_public_name_of_the_module_is_in_the_stub(self):
        self.assertEqual(module_names() - stub_names(), set())

    def test_the_stub_names_nothing_the_module_lacks(self):
        self.assertEqual(stub_names() - module_names(), set())


if __name__ == "__main__":
    unittest.main()
