"""clsOptimizacija from Python, as the README shows it."""
import unittest

import automation

CLSID = "{1A2E2510-521A-49AE-B558-932F2C234CE7}"


def describe_example(opt):
    opt.nitem = 2
    opt.litem = [0.0, 3.0, 7.0]
    opt.mitem = [0, 1, 1]
    opt.lsource = [0.0, 10.0]
    opt.msource = [0, 0]
    opt.razina = 1


class Example(unittest.TestCase):
    def test_the_example_by_both_identifiers(self):
        for name in ("Krelvo.clsOptimizacija", CLSID):
            with self.subTest(name=name):
                opt = automation.Dispatch(name)
                describe_example(opt)
                opt.pokreni()
                self.assertEqual((opt.otpad, opt.brsipka, opt.rezanje[1].tolist()), (0.0, 1, [0, 1, 1]))
                self.assertEqual(opt.rezanje.tolist(), [None, [0, 1, 1]])

    def test_progress_and_prekid_from_a_handler(self):
        class Handler:
            def __init__(self):
                self.reports = []

            def OnProgressUpdate(self):
                self.reports.append(self.progress)
                if len(self.reports) == 2:
                    self.prekid = True

        opt = automation.DispatchWithEvents("Krelvo.clsOptimizacija", Handler)
        describe_example(opt)
        opt.razina = 2
        opt.pokreni()
        self.assertEqual(len(opt.reports), 2)
        self.assertEqual(opt.reports[0], 0)
        self.assertTrue(opt.prekid)

    def test_test_returns_its_by_reference_arguments(self):
        opt = automation.Dispatch("Krelvo.clsOptimizacija")
        describe_example(opt)
        self.assertEqual(opt.test(1, "2", 3.0), (1, 2, 3))

    def test_run_errors_cross_with_their_numbers(self):
        opt = automation.Dispatch("Krelvo.clsOptimizacija")
        describe_example(opt)
        opt.litem = automation.SafeArray([3.0, 7.0], lbound=1)
        opt.mitem = automation.SafeArray([1, 1], lbound=1)
        with self.assertRaises(automation.Error) as raised:
            opt.pokreni()
        self.assertEqual((raised.exception.number, raised.exception.source), (9, "Krelvo"))
        with self.assertRaises(automation.Error) as raised:
            opt.nitem = 2**31
        self.assertEqual(raised.exception.number, 6)

    def test_application_object_by_the_library_name(self):
        implicit = automation.Dispatch("Krelvo")
        implicit.nitem = 7
        self.assertEqual(automation.Dispatch("Krelvo").nitem, 7)
        self.assertEqual(automation.Dispatch("Krelvo.clsOptimizacija").nitem, 0)


if __name__ == "__main__":
    unittest.main()
