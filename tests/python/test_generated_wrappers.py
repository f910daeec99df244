"""Wrappers generated from the type libraries: up to date, importable, typed, and working through Dispatch."""
import ast
import os
import subprocess
import sys
import tempfile
import typing
import unittest

import automation
import automation.wrappers.krelvo as krelvo
import automation.wrappers.drumel as drumel

SHIPPED = os.path.dirname(krelvo.__file__)


class Generation(unittest.TestCase):
    def test_the_shipped_wrappers_match_a_fresh_generation(self):
        with tempfile.TemporaryDirectory() as folder:
            subprocess.run([sys.executable, "-m", "automation.generate", "Krelvo", "Drumel", "-o", folder],
                           check=True, capture_output=True)
            for name in ("krelvo.py", "krelvo.pyi", "drumel.py", "drumel.pyi"):
                with self.subTest(name=name):
                    with open(os.path.join(folder, name)) as fresh, open(os.path.join(SHIPPED, name)) as shipped:
                        text = fresh.read()
                        self.assertEqual(text, shipped.read())
                    ast.parse(text, filename=name)

    def test_bad_requests_fail_with_a_message(self):
        cases = [(["Nowhere"], "Nowhere"), (["Krelvo", "-o", "/no/such/folder"], "no such folder")]
        for args, words in cases:
            with self.subTest(args=args):
                run = subprocess.run([sys.executable, "-m", "automation.generate"] + args, capture_output=True,
                                     text=True)
                self.assertNotEqual(run.returncode, 0)
                self.assertIn(words, run.stderr)


class GeneratedKrelvo(unittest.TestCase):
    def test_a_small_plan_through_the_wrapper(self):
        opt = krelvo.clsOptimizacija()
        opt.nitem = 2
        opt.litem = [0.0, 3.0, 7.0]
        opt.mitem = [0, 2, 1]
        opt.lsource = [0.0, 10.0]
        opt.msource = [0, 0]
        opt.razina = krelvo.standardna
        opt.pokreni()
        # 3 + 7 fill one bar exactly; the last bar's rest is kept, not waste.
        self.assertEqual((opt.brsipka, opt.otpad), (2, 0.0))
        bars = [opt.rezanje[bar].tolist() for bar in (1, 2)]
        self.assertEqual([sum(counts) for counts in zip(*bars)], [0, 2, 1])

    def test_members_are_typed_and_documented(self):
        hints = typing.get_type_hints(krelvo.clsOptimizacija.nitem.fget)
        self.assertIs(hints["return"], int)
        self.assertIs(typing.get_type_hints(krelvo.clsOptimizacija.otpad.fget)["return"], float)
        self.assertIn("property, read/write", krelvo.clsOptimizacija.nitem.__doc__)
        self.assertIsNone(krelvo.clsOptimizacija.litem.fget, "write-only stays write-only")
        self.assertEqual((krelvo.brza, krelvo.vrlojaka), (automation.constants.brza, automation.constants.vrlojaka))

    def test_by_reference_results_and_typos(self):
        self.assertEqual(drumel.clsEncript().MD5("abc"), "900150983cd24fb0d6963f7d28e17f72")
        opt = krelvo.clsOptimizacija()
        with self.assertRaises(AttributeError):
            opt.nitems = 2

    def test_a_wrapper_adopts_an_existing_object(self):
        made = automation.Dispatch("Krelvo")
        self.assertEqual(krelvo.clsOptimizacija(made)._dispatch, made)


if __name__ == "__main__":
    unittest.main()
