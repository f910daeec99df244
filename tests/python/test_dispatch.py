"""Late binding from Python: creation, properties, methods, values, errors."""
import threading
import time
import unittest

import automation

PROBE = "DispatchProbe.clsProbe"
PROBE_CLSID = "{0C7E55A1-5D1B-4C44-9A57-6B1E0D2F3A41}"


class Creation(unittest.TestCase):
    def test_both_identifiers_create_the_class(self):
        for name in (PROBE, PROBE_CLSID, PROBE_CLSID.lower(), "dispatchprobe.CLSPROBE"):
            with self.subTest(name=name):
                probe = automation.Dispatch(name)
                self.assertEqual(repr(probe), "<automation.Dispatch DispatchProbe.clsProbe>")

    def test_unknown_names_raise_error_429(self):
        for name in ("Nowhere.clsNothing", "DispatchProbe.clsMissing", "{00000000-0000-0000-0000-000000000000}"):
            with self.subTest(name=name):
                with self.assertRaises(automation.Error) as raised:
                    automation.Dispatch(name)
                self.assertEqual(raised.exception.number, 429)

    def test_library_name_reaches_the_application_object(self):
        first = automation.Dispatch("DispatchProbe")
        first.label = "shared"
        self.assertEqual(automation.Dispatch("DispatchProbe").label, "shared")
        self.assertEqual(automation.Dispatch(PROBE).label, "", "an explicit instance is a new one")


class Members(unittest.TestCase):
    def setUp(self):
        self.probe = automation.Dispatch(PROBE)

    def test_names_are_case_insensitive(self):
        self.probe.COUNT = 5
        self.assertEqual(self.probe.count, 5)
        self.assertEqual(self.probe.Add(1, 2), 3.0)

    def test_python_values_are_coerced_to_the_declared_types(self):
        cases = [
            ("count", "12", 12),
            ("count", 2.5, 2),
            ("count", True, -1),
            ("ratio", 3, 3.0),
            ("ratio", 2**40, float(2**40)),
            ("flag", 7, True),
            ("label", 1.5, "1.5"),
            ("label", False, "False"),
            ("anything", None, None),
            ("small", -32768, -32768),
        ]
        for name, value, expected in cases:
            with self.subTest(name=name, value=value):
                setattr(self.probe, name, value)
                result = getattr(self.probe, name)
                self.assertEqual(result, expected)
                self.assertIs(type(result), type(expected))

    def test_coercion_errors_carry_their_numbers(self):
        cases = [("small", 40000, 6), ("count", 2**31, 6), ("count", "abc", 13), ("ratio", "", 13),
                 ("lengths", 5, 13), ("counts", [1, "x"], 13), ("count", {}, 13)]
        for name, value, number in cases:
            with self.subTest(name=name, value=value):
                with self.assertRaises(automation.Error) as raised:
                    setattr(self.probe, name, value)
                self.assertEqual(raised.exception.number, number)
                # A dict fails in the module, before the component is reached.
                expected_source = "automation" if isinstance(value, dict) else "DispatchProbe"
                self.assertEqual(raised.exception.source, expected_source)

    def test_none_is_the_null_string_where_a_string_is_expected(self):
        self.assertEqual(self.probe.describe(None), "null")
        self.assertEqual(self.probe.describe(""), "[]")

    def test_optional_arguments_and_argument_count(self):
        self.assertEqual(self.probe.add(1), 11.0)
        for args, number in (((), 449), ((1, 2, 3), 450)):
            with self.assertRaises(automation.Error) as raised:
                self.probe.add(*args)
            self.assertEqual(raised.exception.number, number)

    def test_by_reference_values_come_back_in_order(self):
        self.assertEqual(self.probe.swap(1, "2"), (2, 1))
        self.assertIsNone(self.probe.pause(0), "no result and nothing by reference")

    def test_unknown_member_is_an_attribute_error(self):
        self.assertFalse(hasattr(self.probe, "colour"))
        with self.assertRaises(AttributeError):
            self.probe.colour = "blue"
        with self.assertRaises(automation.Error) as raised:
            self.probe.live = 3
        self.assertEqual(raised.exception.number, 438)

    def test_errors_cross_with_number_description_and_source(self):
        for args, source in (((1234, "boom"), "DispatchProbe"), ((5, "bad call", "Custom.Source"), "Custom.Source")):
            with self.subTest(args=args):
                with self.assertRaises(automation.Error) as raised:
                    self.probe.fail(*args)
                self.assertEqual(raised.exception.number, args[0])
                self.assertEqual(raised.exception.description, args[1])
                self.assertEqual(raised.exception.source, source)

    def test_object_results_are_dispatch_objects(self):
        made = self.probe.make()
        self.assertIsInstance(made, automation.Dispatch)
        made.count = 3
        self.assertEqual(made.count, 3)
        self.assertEqual(self.probe.count, 0)

    def test_long_calls_release_the_gil(self):
        ticks = [0]
        running = threading.Event()
        stop = threading.Event()

        def count():
            running.set()
            while not stop.is_set():
                ticks[0] += 1

        worker = threading.Thread(target=count)
        worker.start()
        running.wait()
        before = ticks[0]
        self.probe.pause(300)
        during = ticks[0] - before
        stop.set()
        worker.join()
        self.assertGreater(during, 1000)


class Arrays(unittest.TestCase):
    def setUp(self):
        self.probe = automation.Dispatch(PROBE)

    def test_a_list_is_an_array_from_zero_of_the_declared_type(self):
        self.probe.lengths = (1, 2.5, "3")
        lengths = self.probe.lengths
        self.assertIsInstance(lengths, automation.SafeArray)
        self.assertEqual((lengths.lbound, lengths.ubound, len(lengths)), (0, 2, 3))
        self.assertEqual(lengths.tolist(), [1.0, 2.5, 3.0])

    def test_safe_array_keeps_its_lower_bound_and_is_indexed_by_it(self):
        self.probe.counts = automation.SafeArray([7, 8.6, "9"], lbound=5)
        counts = self.probe.counts
        self.assertEqual((counts.lbound, counts.ubound), (5, 7))
        self.assertEqual([counts[5], counts[6], counts[7]], [7, 9, 9])
        self.assertEqual(list(counts), [7, 9, 9])
        for index in (4, 8, 0, -1):
            with self.subTest(index=index):
                with self.assertRaises(automation.Error) as raised:
                    counts[index]
                self.assertEqual(raised.exception.number, 9)

    def test_arrays_of_arrays_like_a_cutting_plan(self):
        plan = self.probe.plan()
        self.assertIsNone(plan[0])
        self.assertEqual(plan[2].tolist(), [0, 3, 4])
        self.assertEqual(plan.tolist(), [None, [0, 1, 2], [0, 3, 4]])

    def test_array_type_holding_no_array_has_length_zero(self):
        nothing = self.probe.nothing
        self.assertIsInstance(nothing, automation.SafeArray)
        self.assertEqual((len(nothing), nothing.tolist(), nothing.lbound, nothing.ubound), (0, [], 0, -1))


if __name__ == "__main__":
    unittest.main()
