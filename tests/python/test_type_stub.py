"""The type stub beside the module names exactly what the module binds."""
import ast
import pathlib
import unittest

import automation

STUB = pathlib.Path(automation.__file__).with_name("__init__.pyi")


def stub_names():
    tree = ast.parse(STUB.read_text())
    return {node.name for node in tree.body if isinstance(node, (ast.ClassDef, ast.FunctionDef))}


def module_names():
    return {name for name in dir(automation) if not name.startswith("_")}


class TypeStub(unittest.TestCase):
    def test_the_stub_ships_beside_the_module_with_its_marker(self):
        self.assertTrue(STUB.is_file(), STUB)
        self.assertTrue(STUB.with_name("py.typed").is_file())

    def test_every_public_name_of_the_module_is_in_the_stub(self):
        self.assertEqual(module_names() - stub_names(), set())

    def test_the_stub_names_nothing_the_module_lacks(self):
        self.assertEqual(stub_names() - module_names(), set())


if __name__ == "__main__":
    unittest.main()
