"""Ctrl-C during a long run: the run stops at its next checkpoint, keeps its best plan, and the
caller gets the KeyboardInterrupt once the call returns."""
import os
import signal
import subprocess
import sys
import textwrap
import time
import unittest
import unittest.mock

import automation

# A vrlojaka run of this problem takes far longer than the test waits.
LONG_RUN = textwrap.dedent("""
    import signal, sys, time
    import automation
    signal.signal(signal.SIGINT, signal.default_int_handler)

    class Handler:
        def OnProgressUpdate(self):
            pass

    if sys.argv[1] == "events":
        opt = automation.DispatchWithEvents("Krelvo.clsOptimizacija", Handler)
    else:
        opt = automation.Dispatch("Krelvo.clsOptimizacija")
    kinds = 80
    opt.nitem = kinds
    opt.litem = [0.0] + [float(37 + 13 * i % 400) for i in range(kinds)]
    opt.mitem = [0] + [3 + i % 5 for i in range(kinds)]
    opt.lsource = [0.0, 1000.0]
    opt.msource = [0, 0]
    opt.razina = automation.constants.vrlojaka
    print("running", flush=True)
    try:
        opt.pokreni()
        print("finished", flush=True)
    except KeyboardInterrupt:
        print("interrupted", opt.brsipka, opt.otpad, flush=True)
""")


def plan_problem(opt):
    opt.nitem = 3
    opt.litem = [0.0, 2.5, 3.5, 4.5]
    opt.mitem = [0, 7, 5, 3]
    opt.lsource = [0.0, 10.0]
    opt.msource = [0, 0]


class SigintInChildProcess(unittest.TestCase):
    def test_sigint_stops_the_run_with_a_plan_and_raises(self):
        for mode in ("plain", "events"):
            with self.subTest(mode=mode):
                child = subprocess.Popen([sys.executable, "-c", LONG_RUN, mode], stdout=subprocess.PIPE, text=True,
                                         env=os.environ.copy())
                self.assertEqual(child.stdout.readline().strip(), "running")
                time.sleep(1.0)
                child.send_signal(signal.SIGINT)
                sent = time.monotonic()
                output, _ = child.communicate(timeout=30)
                self.assertLess(time.monotonic() - sent, 5.0)
                words = output.split()
                self.assertEqual(words[0], "interrupted", output)
                self.assertGreater(int(words[1]), 0, "the best plan so far stays in the object")


class InterruptInHandler(unittest.TestCase):
    def test_keyboard_interrupt_in_a_handler_stops_the_run_and_reaches_the_caller(self):
        class Interrupting:
            def __init__(self):
                self.calls = 0

            def OnProgressUpdate(self):
                self.calls += 1
                if self.calls == 2:
                    raise KeyboardInterrupt

        opt = automation.DispatchWithEvents("Krelvo.clsOptimizacija", Interrupting)
        plan_problem(opt)
        opt.razina = automation.constants.vrlojaka
        with unittest.mock.patch("sys.unraisablehook") as hook:
            with self.assertRaises(KeyboardInterrupt):
                opt.pokreni()
        hook.assert_not_called()
        self.assertLessEqual(opt.calls, 3, "the run stopped at the next checkpoint")
        self.assertGreater(opt.brsipka, 0)

    def test_other_handler_errors_are_still_reported_and_the_run_goes_on(self):
        class Failing:
            def OnProgressUpdate(self):
                raise ValueError("handler failed")

        opt = automation.DispatchWithEvents("Krelvo.clsOptimizacija", Failing)
        plan_problem(opt)
        opt.razina = automation.constants.brza
        with unittest.mock.patch("sys.unraisablehook") as hook:
            opt.pokreni()
        self.assertGreater(hook.call_count, 1)
        self.assertEqual(opt.progress, 100)

    def test_a_later_call_is_not_interrupted_by_an_earlier_one(self):
        opt = automation.Dispatch("Krelvo.clsOptimizacija")
        plan_problem(opt)
        opt.razina = automation.constants.brza
        opt.pokreni()
        self.assertFalse(opt.prekid)


if __name__ == "__main__":
    unittest.main()
