"""SafeArray as a Python sequence and buffer, hostile nesting, and text across the boundary."""
import hashlib
import importlib.util
import sys
import unittest

import automation

PROBE = "DispatchProbe.clsProbe"


class SafeArrayProtocols(unittest.TestCase):
    def test_equality_needs_the_same_bounds_and_values(self):
        array = automation.SafeArray([1, 2, 3], lbound=1)
        cases = [(automation.SafeArray([1, 2, 3], lbound=1), True), (automation.SafeArray([1, 2, 3]), False),
                 (automation.SafeArray([1, 2, 4], lbound=1), False), ([1, 2, 3], False),
                 (automation.SafeArray([1, 2]), False)]
        for other, equal in cases:
            with self.subTest(other=other):
                self.assertEqual(array == other, equal)
        self.assertEqual(automation.SafeArray([1.5, "x"]), [1.5, "x"])
        self.assertNotEqual(automation.SafeArray([1]), (1,))

    def test_len_iteration_and_indexing_by_its_own_bounds(self):
        array = automation.SafeArray([10, 20, 30], lbound=-1)
        self.assertEqual(len(array), 3)
        self.assertEqual(list(array), [10, 20, 30])
        self.assertEqual([array[-1], array[0], array[1]], [10, 20, 30])

    def test_numeric_arrays_share_a_read_only_buffer(self):
        opt = automation.Dispatch("Krelvo.clsOptimizacija")
        opt.nitem = 2
        opt.litem = [0.0, 3.0, 7.0]
        opt.mitem = [0, 2, 1]
        opt.lsource = [0.0, 10.0]
        opt.msource = [0, 0]
        opt.razina = automation.constants.brza
        opt.pokreni()
        bar = opt.rezanje[1]
        view = memoryview(bar)
        self.assertEqual((view.format, view.ndim, view.readonly), ("i", 1, True))
        self.assertEqual(view.tolist(), bar.tolist())
        probe = automation.Dispatch(PROBE)
        probe.lengths = [1.5, 2.5]
        self.assertEqual(memoryview(probe.lengths).tolist(), [1.5, 2.5])

    def test_arrays_without_numbers_have_no_buffer(self):
        for array in (automation.SafeArray(["a"]), automation.SafeArray([[1.0], [2.0]]), automation.SafeArray([])):
            with self.subTest(array=array):
                with self.assertRaises(BufferError):
                    memoryview(array)


class FakeNumpy:
    """Records what the conversion hands to numpy, which may not be installed."""

    def __init__(self):
        self.calls = []

    def asarray(self, source, dtype=None):
        self.calls.append(("asarray", source, dtype, None))
        return source

    def array(self, source, dtype=None, copy=True):
        self.calls.append(("array", source, dtype, copy))
        return source


class NumpyConversion(unittest.TestCase):
    def with_fake_numpy(self, action):
        fake = FakeNumpy()
        saved = sys.modules.get("numpy")
        sys.modules["numpy"] = fake
        try:
            return action(), fake.calls
        finally:
            if saved is None:
                del sys.modules["numpy"]
            else:
                sys.modules["numpy"] = saved

    def test_numeric_vectors_are_handed_over_as_their_shared_buffer(self):
        probe = automation.Dispatch(PROBE)
        probe.lengths = [1.5, 2.5]
        lengths = probe.lengths
        result, calls = self.with_fake_numpy(lambda: lengths.__array__())
        self.assertEqual([call[0] for call in calls], ["asarray"])
        self.assertIsInstance(result, memoryview)
        self.assertEqual((result.format, result.readonly, result.tolist()), ("d", True, [1.5, 2.5]))
        self.assertIs(result.obj, lengths)
        _, calls = self.with_fake_numpy(lambda: lengths.__array__("float32", copy=True))
        self.assertEqual([(call[0], call[2], call[3]) for call in calls], [("array", "float32", True)])

    def test_other_arrays_become_new_arrays_of_their_elements(self):
        for array, elements in ((automation.SafeArray(["a", "b"]), ["a", "b"]),
                                (automation.SafeArray([[1.0], [2.0]]), [[1.0], [2.0]])):
            with self.subTest(array=array):
                result, _ = self.with_fake_numpy(lambda: array.__array__())
                self.assertEqual(result, elements)
                with self.assertRaises(ValueError):
                    self.with_fake_numpy(lambda: array.__array__(copy=False))

    @unittest.skipUnless(importlib.util.find_spec("numpy"), "numpy is not installed")
    def test_numpy_shares_the_storage_of_a_result_vector(self):
        import numpy
        probe = automation.Dispatch(PROBE)
        probe.lengths = [1.5, 2.5]
        lengths = probe.lengths
        vector = numpy.asarray(lengths)
        self.assertEqual((vector.dtype, vector.tolist(), vector.flags.writeable), (numpy.float64, [1.5, 2.5], False))
        self.assertEqual(numpy.asarray(lengths).__array_interface__["data"][0], vector.__array_interface__["data"][0])


class HostileNesting(unittest.TestCase):
    def assert_refused(self, value, words):
        probe = automation.Dispatch(PROBE)
        for convert in (lambda: setattr(probe, "anything", value), lambda: automation.SafeArray(value)):
            with self.assertRaises(automation.Error) as raised:
                convert()
            self.assertEqual(raised.exception.number, 5)
            self.assertEqual(raised.exception.source, "automation")
            self.assertIn(words, raised.exception.description)

    def test_a_list_holding_itself_is_refused(self):
        direct = [0.0]
        direct.append(direct)
        inner = [1]
        indirect = [inner, (2, inner)]
        inner.append(indirect)
        for value in (direct, indirect):
            with self.subTest(value=type(value)):
                self.assert_refused(value, "contains itself")

    def test_deep_nesting_is_refused_at_the_dimension_limit(self):
        for depth in (61, 100_000):
            with self.subTest(depth=depth):
                nested = []
                for _ in range(depth - 1):
                    nested = [nested]
                self.assert_refused(nested, "deeper than 60")

    def test_nesting_up_to_the_limit_and_shared_sublists_still_pass(self):
        nested = [1]
        for _ in range(59):
            nested = [nested]
        self.assertEqual(len(automation.SafeArray(nested)), 1)
        shared = [1, 2]
        self.assertEqual(automation.SafeArray([shared, shared]).tolist(), [[1, 2], [1, 2]])

    def test_an_upper_bound_beyond_a_long_is_an_overflow(self):
        for values, lbound in (([], -2**31), ([1, 2], 2**31 - 1)):
            with self.subTest(lbound=lbound, size=len(values)):
                with self.assertRaises(automation.Error) as raised:
                    automation.SafeArray(values, lbound=lbound)
                self.assertEqual(raised.exception.number, 6)
        self.assertEqual(automation.SafeArray([1], lbound=-2**31).ubound, -2**31)
        self.assertEqual(automation.SafeArray([], lbound=-2**31 + 1).ubound, -2**31)


class Text(unittest.TestCase):
    def setUp(self):
        self.probe = automation.Dispatch(PROBE)
        self.encript = automation.Dispatch("Drumel.clsEncript")

    def test_text_of_every_storage_width_round_trips(self):
        for text in ("", "plain ascii", "Latin-1 \xe9\xff", "\u010d\u0161 BMP \uffff", "astral \U0001F600 x",
                     "\x00inner nul"):
            with self.subTest(text=text):
                self.probe.label = text
                self.assertEqual(self.probe.label, text)

    def test_long_text_of_every_storage_width_round_trips_at_block_edges(self):
        # Long texts are widened a block at a time into room faulted in ahead.
        for sample in ("ascii", "Latin-1 \xe9\xff", "BMP \u010d\u0161", "astral \U0001F600"):
            for length in (4095, 4096, 4097, 3 * 1024 * 1024 + 3):
                text = (sample * (length // len(sample) + 1))[:length]
                with self.subTest(sample=sample, length=length):
                    self.probe.label = text
                    self.assertEqual(self.probe.label, text)

    def test_lone_surrogates_come_back_as_replacement_characters(self):
        self.probe.label = "a\ud800b\udc00"
        self.assertEqual(self.probe.label, "a\ufffdb\ufffd")

    def test_checksums_see_the_low_bytes_of_the_utf16_code_units(self):
        # The component hashes the low byte of each UTF-16 code unit.
        for text in ("abc", "\xe9t\xe9", "\u010d\u0161", "\U0001F600"):
            with self.subTest(text=text):
                units = text.encode("utf-16-le")
                low_bytes = units[0::2]
                self.assertEqual(self.encript.MD5(text), hashlib.md5(low_bytes).hexdigest())


if __name__ == "__main__":
    unittest.main()
