"""What a Python user finds on an object: strict attributes, dir, help, keywords, identity, constants."""
import os
import pydoc
import tempfile
import unittest

import automation

PROBE = "DispatchProbe.clsProbe"


class Attributes(unittest.TestCase):
    def setUp(self):
        self.opt = automation.Dispatch("Krelvo.clsOptimizacija")

    def test_a_typo_raises_and_names_the_closest_member(self):
        cases = [("nitems", "nitem"), ("NITEMS", "nitem"), ("pokrenii", "pokreni"), ("razna", "razina")]
        for typo, closest in cases:
            with self.subTest(typo=typo):
                with self.assertRaises(AttributeError) as raised:
                    setattr(self.opt, typo, 2)
                self.assertIn("clsOptimizacija", str(raised.exception))
                self.assertIn(f"did you mean '{closest}'?", str(raised.exception))
                with self.assertRaises(AttributeError):
                    getattr(self.opt, typo)
        self.assertEqual(self.opt.nitem, 0, "the typo changed nothing")

    def test_nothing_is_suggested_for_a_name_far_from_every_member(self):
        with self.assertRaises(AttributeError) as raised:
            self.opt.completely_unrelated = 1
        self.assertNotIn("did you mean", str(raised.exception))

    def test_member_names_stay_case_insensitive(self):
        self.opt.NItem = 3
        self.assertEqual(self.opt.nitem, 3)
        self.assertEqual(self.opt.NITEM, 3)

    def test_objects_with_events_keep_python_attributes(self):
        class Handler:
            limit = 5

            def __init__(self):
                self.seen = 0

            def OnProgressUpdate(self):
                self.seen += 1

        watched = automation.DispatchWithEvents("Krelvo.clsOptimizacija", Handler)
        watched.note = "mine"
        watched.limit = 7
        watched.nitem = 4
        self.assertEqual((watched.note, watched.limit, watched.seen, watched.nitem), ("mine", 7, 0, 4))
        self.assertEqual(Handler.limit, 5)

    def test_a_handler_that_is_not_a_class_is_a_type_error(self):
        for handler in (3, "Handler", lambda: None):
            with self.subTest(handler=handler):
                with self.assertRaises(TypeError):
                    automation.DispatchWithEvents("Krelvo.clsOptimizacija", handler)


class Discovery(unittest.TestCase):
    def setUp(self):
        self.opt = automation.Dispatch("Krelvo.clsOptimizacija")

    def test_dir_lists_the_members(self):
        listed = dir(self.opt)
        for name in ("nitem", "litem", "rezanje", "pokreni", "test", "prekid"):
            self.assertIn(name, listed)

    def test_help_shows_kinds_parameters_defaults_and_results(self):
        text = pydoc.render_doc(self.opt, renderer=pydoc.plaintext)
        self.assertIn("Krelvo.clsOptimizacija", text)
        self.assertIn("nitem: Long    property, read/write", text)
        self.assertIn("litem: Double()    property, write-only", text)
        self.assertIn("test(ByRef v: Long, ByRef k: Long, ByRef iter: Long) -> nothing    method", text)
        ini_doc = automation.Dispatch("Drumel.clsINI").__doc__
        self.assertRegex(ini_doc, r"GetKeyVal\(Section: String, Key: String, ByRef Default: String, "
                                  r"INIFileLoc: String\) -> String")

    def test_optional_parameters_show_their_defaults(self):
        self.assertRegex(type(automation.Dispatch(PROBE)).__doc__, r"= \d")

    def test_bound_members_and_objects_have_useful_names(self):
        bound = self.opt.pokreni
        self.assertEqual(bound.__name__, "pokreni")
        self.assertEqual(repr(bound),
                         "<bound member clsOptimizacija.pokreni of <automation.Dispatch Krelvo.clsOptimizacija>>")
        self.assertEqual(bound.__doc__, "pokreni() -> nothing    method")
        self.assertEqual(repr(self.opt), "<automation.Dispatch Krelvo.clsOptimizacija>")
        self.assertIsInstance(self.opt, automation.Dispatch)


class KeywordArguments(unittest.TestCase):
    def setUp(self):
        self.probe = automation.Dispatch(PROBE)

    def test_keywords_mix_with_positional_arguments_in_any_case(self):
        for args, kwargs in (((), {"a": 1, "b": 2}), ((1,), {"B": 2}), ((), {"B": 2, "A": 1})):
            with self.subTest(kwargs=kwargs):
                self.assertEqual(self.probe.Add(*args, **kwargs), 3.0)

    def test_a_keyword_after_a_skipped_optional_gets_the_default_between(self):
        self.assertEqual(self.probe.add(1), self.probe.add(a=1))

    def test_unknown_doubled_and_missing_names_are_type_errors(self):
        cases = [((), {"c": 1}, "unexpected keyword argument 'c'"),
                 ((1,), {"a": 2}, "multiple values for argument 'a'"),
                 ((), {"b": 2}, "missing required argument 'a'")]
        for args, kwargs, message in cases:
            with self.subTest(kwargs=kwargs):
                with self.assertRaises(TypeError) as raised:
                    self.probe.add(*args, **kwargs)
                self.assertIn(message, str(raised.exception))

    def test_ini_lookup_by_parameter_names(self):
        with tempfile.TemporaryDirectory() as folder:
            path = os.path.join(folder, "k.ini")
            with open(path, "w") as ini_file:
                ini_file.write("[S]\nk=v\n")
            ini = automation.Dispatch("Drumel.clsINI")
            self.assertEqual(ini.GetKeyVal(Section="S", Key="k", Default="", INIFileLoc=path), "v")
            self.assertEqual(ini.getkeyval("S", key="missing", default="d", inifileloc=path), "d")


class Identity(unittest.TestCase):
    def test_equality_and_hash_follow_the_object(self):
        app, again = automation.Dispatch("Krelvo"), automation.Dispatch("Krelvo")
        self.assertIsNot(app, again)
        self.assertEqual(app, again)
        self.assertEqual(hash(app), hash(again))
        self.assertEqual(len({app, again}), 1)
        one, other = automation.Dispatch(PROBE), automation.Dispatch(PROBE)
        self.assertNotEqual(one, other)
        self.assertNotEqual(one, "DispatchProbe.clsProbe")


class Constants(unittest.TestCase):
    def test_enumeration_members_of_loaded_libraries(self):
        automation.Dispatch("Krelvo.clsOptimizacija")
        self.assertEqual(automation.constants.standardna, 2)
        self.assertEqual(automation.constants.VRLOJAKA, 4)
        self.assertIn("brza", dir(automation.constants))

    def test_an_unknown_constant_is_an_attribute_error(self):
        with self.assertRaises(AttributeError):
            automation.constants.no_such_constant


class ErrorSource(unittest.TestCase):
    def test_source_is_never_empty(self):
        failures = [lambda: automation.Dispatch("Nowhere.clsNothing"),
                    lambda: automation.SafeArray([1, 2])[5],
                    lambda: automation.Dispatch(PROBE).plan()[7]]
        for fail in failures:
            with self.subTest(fail=fail):
                with self.assertRaises(automation.Error) as raised:
                    fail()
                self.assertTrue(raised.exception.source)


if __name__ == "__main__":
    unittest.main()
