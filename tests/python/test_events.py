"""Events through DispatchWithEvents, and the lifetime of objects that raise them."""
import gc
import unittest
import unittest.mock
import weakref

import automation

PROBE = "DispatchProbe.clsProbe"


class Counting:
    def __init__(self):
        self.seen = []

    def OnProgressUpdate(self):
        self.seen.append(self.count)


class Events(unittest.TestCase):
    def test_handler_reads_properties_and_stops_the_run(self):
        class Stopping(Counting):
            def OnProgressUpdate(self):
                super().OnProgressUpdate()
                if self.count == 3:
                    self.flag = True

        probe = automation.DispatchWithEvents(PROBE, Stopping)
        self.assertIsInstance(probe, Stopping)
        self.assertIsInstance(probe, automation.Dispatch)
        probe.run(10)
        self.assertEqual(probe.seen, [1, 2, 3])

    def test_several_sinks_on_the_application_object(self):
        first = automation.DispatchWithEvents("DispatchProbe", Counting)
        second = automation.DispatchWithEvents("DispatchProbe", Counting)
        first.flag = False
        first.run(2)
        self.assertEqual(first.seen, [1, 2])
        self.assertEqual(second.seen, [1, 2])
        del second
        gc.collect()
        first.run(1)
        self.assertEqual(first.seen, [1, 2, 1], "a released sink is disconnected")

    def test_handler_errors_do_not_stop_the_component(self):
        class Failing(Counting):
            def OnProgressUpdate(self):
                super().OnProgressUpdate()
                raise RuntimeError("handler failed")

        probe = automation.DispatchWithEvents(PROBE, Failing)
        with unittest.mock.patch("sys.unraisablehook") as hook:
            probe.run(2)
        self.assertEqual(probe.seen, [1, 2])
        self.assertEqual(hook.call_count, 2)

    def test_object_stays_alive_while_a_handler_drops_the_last_reference(self):
        holder = {}
        seen = []
        live_before = automation.Dispatch(PROBE).live

        class Dropping:
            def OnProgressUpdate(self):
                seen.append(self.count)
                holder.pop("probe", None)

        holder["probe"] = automation.DispatchWithEvents(PROBE, Dropping)
        watch = weakref.ref(holder["probe"])
        watch().run(4)
        self.assertEqual(seen, [1, 2, 3, 4], "the sink outlives the drop until the call returns")
        gc.collect()
        self.assertIsNone(watch())
        self.assertEqual(automation.Dispatch(PROBE).live, live_before, "the object is freed after the call")

    def test_yield_hook_runs_at_every_checkpoint(self):
        calls = []
        automation.set_yield(lambda: calls.append("yield"))
        try:
            automation.Dispatch(PROBE).run(3)
        finally:
            automation.set_yield(None)
        automation.Dispatch(PROBE).run(2)
        self.assertEqual(calls, ["yield"] * 3)

    def test_message_box_hook_replaces_the_box_until_restored(self):
        boxes = []
        automation.set_message_box(lambda text, caption, style: boxes.append((text, caption, style)))
        try:
            automation.Dispatch(PROBE).message("Datoteka ne postoji")
        finally:
            automation.set_message_box(None)
        self.assertEqual(boxes, [("Datoteka ne postoji", "Probe", 48)])


if __name__ == "__main__":
    unittest.main()
