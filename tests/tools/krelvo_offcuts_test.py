"""End-to-end tests of the offcut rack and of the figures every output shows about leftovers.

Run like krelvo_end_to_end_test (KRELVO and KRELVO_EXAMPLES name the binary and the examples).
"""

import csv
import io
import json
import os
import re
import unittest
import xml.etree.ElementTree as ElementTree

from krelvo_end_to_end_test import SVG, KrelvoTestCase, run

# Items that leave long rests on 6000 bars, so some leftovers are kept.
JOB = {"stock": [{"length": 6000, "quantity": 0, "label": "rack"}],
       "items": [{"length": 2150, "quantity": 5, "label": "door jamb"},
                 {"length": 1200, "quantity": 4, "label": "sill"},
                 {"length": 450, "quantity": 3}]}


def read_rack(path):
    with open(path, encoding="utf-8") as file:
        return sorted((float(row["length"]), int(row["quantity"])) for row in csv.DictReader(file))


def rack_of_lengths(lengths):
    counts = {}
    for length in lengths:
        counts[length] = counts.get(length, 0) + 1
    return sorted(counts.items())


class Offcuts(KrelvoTestCase):
    def run_json(self, *arguments):
        result = run(*arguments, "--format", "json", "-q")
        self.assertEqual(result.returncode, 0, result.stderr)
        return json.loads(result.stdout)

    def test_second_run_cuts_from_the_rack_the_first_one_wrote(self):
        job = self.write("job.json", JOB)
        rack = self.write("rack.csv", "length,quantity,label\n")
        first = self.run_json(job, "--kerf", "3", "--offcuts", rack, "--keep-offcuts", "400", "--update-offcuts")
        kept = sorted(bar["kept_length"] for bar in first["bars"] if bar["kept"])
        self.assertTrue(kept, "the job must leave offcuts to keep")
        self.assertTrue(all(length >= 400 for length in kept))
        self.assertEqual(sum(quantity for _, quantity in read_rack(rack)), len(kept))
        self.assertEqual([length for length, quantity in read_rack(rack) for _ in range(quantity)], kept)
        with open(rack + "~", encoding="utf-8") as backup:
            self.assertEqual(backup.read(), "length,quantity,label\n")

        # A second job of pieces that fit the offcuts: they are cut first, the shortest first.
        second_job = self.write("second.json", {"stock": JOB["stock"], "items": [{"length": 300, "quantity": 2}]})
        second = self.run_json(second_job, "--kerf", "3", "--offcuts", rack, "--update-offcuts")
        offcut_bars = [bar for bar in second["bars"] if bar["from_offcut"]]
        self.assertEqual(len(second["bars"]), len(offcut_bars), "no regular bar while an offcut holds the pieces")
        self.assertEqual(offcut_bars[0]["length"], kept[0])
        used = [bar["length"] for bar in offcut_bars]
        remaining = list(kept)
        for length in used:
            remaining.remove(length)
        self.assertEqual([length for length, quantity in read_rack(rack) for _ in range(quantity)], sorted(remaining))
        self.assertEqual(read_rack(rack + "~"), rack_of_lengths(kept))

    def test_failed_or_refused_runs_leave_the_rack_alone(self):
        rack_text = "length,quantity,label\n2000,1,spare\n"
        rack = self.write("rack.csv", rack_text)
        # Enough stock by length, but the 2100s pack two to the 6000 and one to the 4000: the run fails.
        unpackable = self.write("p.json", {"stock": [{"length": 6000, "quantity": 1}, {"length": 4000, "quantity": 1}],
                                           "items": [{"length": 2100, "quantity": 4}]})
        too_little = self.write("short.json", {"stock": [{"length": 6000, "quantity": 1}],
                                               "items": [{"length": 4000, "quantity": 3}]})
        bad_input = self.write("bad.json", {"stock": [{"length": 6000, "quantity": 0}], "items": []})
        for arguments, status in (([unpackable], 1), ([too_little], 2), ([bad_input], 2),
                                  ([unpackable, "--keep-offcuts", "-1"], 2)):
            with self.subTest(arguments=arguments):
                result = run(*arguments, "--offcuts", rack, "--keep-offcuts", "10", "--update-offcuts")
                self.assertEqual(result.returncode, status, result.stderr)
                self.assertEqual(result.stdout, "")
                with open(rack, encoding="utf-8") as file:
                    self.assertEqual(file.read(), rack_text)
                self.assertFalse(os.path.exists(rack + "~"))

    def test_offcuts_count_as_stock_and_stay_first_whatever_the_stock_order(self):
        # One bar of 6000 holds three of the 2000s; the rack's 2000 holds the fourth.
        rack = self.write("rack.csv", "length,quantity,label\n2000,1,spare\n")
        job = self.write("job.json", {"stock": [{"length": 3000, "quantity": 0}, {"length": 6000, "quantity": 1}],
                                      "items": [{"length": 2000, "quantity": 4}]})
        for order in ("given", "descending", "ascending", "best"):
            with self.subTest(order=order):
                document = self.run_json(job, "--offcuts", rack, "--stock-order", order)
                self.assertTrue(document["bars"][0]["from_offcut"])
                self.assertEqual(document["bars"][0]["stock_label"], "spare")
                self.assertEqual(document["stock_order"]["order"][0], 1)
        limited = self.write("limited.json", {"stock": [{"length": 6000, "quantity": 1}],
                                              "items": [{"length": 2000, "quantity": 4}]})
        self.assertEqual(sum(bar["from_offcut"] for bar in self.run_json(limited, "--offcuts", rack)["bars"]), 1)
        without = run(limited, "-q")
        self.assertEqual(without.returncode, 2)
        self.assertIn("the items need at least 2 bars of 6000", without.stderr)

    def test_json_rack_keeps_its_format_and_labels(self):
        rack = self.write("rack.json", {"offcuts": [{"length": 2500, "quantity": 1, "label": "oak"},
                                                    {"length": 100, "quantity": 2}]})
        job = self.write("job.json", {"stock": JOB["stock"], "items": [{"length": 2400, "quantity": 1}]})
        document = self.run_json(job, "--offcuts", rack, "--update-offcuts")
        self.assertEqual(document["bars"][0]["stock_label"], "oak")
        with open(rack, encoding="utf-8") as file:
            # The 100s hold no piece and stay; the oak offcut is used.
            self.assertEqual(json.load(file), {"offcuts": [{"length": 100, "quantity": 2}]})

    def test_help_names_the_rack_and_report_options(self):
        shown = run("--help").stdout
        for option in ("--offcuts", "--keep-offcuts", "--update-offcuts", "--html"):
            self.assertIn(option, shown)

    def test_update_needs_a_rack(self):
        result = run(self.write("job.json", JOB), "--update-offcuts")
        self.assertEqual(result.returncode, 2)
        self.assertIn("--update-offcuts needs --offcuts", result.stderr)


class OutputsAgree(KrelvoTestCase):
    def test_bars_leftovers_and_kept_offcuts_agree_in_every_output(self):
        job = self.write("job.json", JOB)
        common = [job, "--kerf", "4", "--trim", "10", "--keep-offcuts", "500", "-q"]
        document = json.loads(run(*common, "--format", "json", "--svg", self.path("plan.svg"),
                                  "--html", self.path("plan.html")).stdout)
        bars = document["bars"]
        summary = document["summary"]
        for bar in bars:
            self.assertAlmostEqual(bar["kept_length"] + bar["scrap"], bar["leftover"], places=6)
            self.assertEqual(bar["kept"], bar["kept_length"] >= 500)
            if bar["kept"]:
                self.assertAlmostEqual(bar["kept_length"], bar["leftover"] - 4, places=6, msg="the freeing cut")
        self.assertAlmostEqual(summary["kept_length"], sum(bar["kept_length"] for bar in bars), places=6)
        self.assertEqual(summary["kept_count"], sum(bar["kept"] for bar in bars))
        self.assertAlmostEqual(summary["scrap"], summary["leftover"] - summary["kept_length"], places=6)

        rows = list(csv.DictReader(io.StringIO(run(*common, "--format", "csv").stdout)))
        by_bar = {int(row["bar"]): row for row in rows}
        self.assertEqual(len(by_bar), len(bars))
        for number, bar in enumerate(bars, 1):
            row = by_bar[number]
            self.assertEqual(int(row["pattern"]), bar["pattern"])
            self.assertEqual(row["kept"], "yes" if bar["kept"] else "no")
            self.assertAlmostEqual(float(row["kept_length"]), bar["kept_length"], places=6)
            self.assertAlmostEqual(float(row["scrap"]), bar["scrap"], places=6)

        table = run(*common).stdout
        rest = {int(match[0]): match[1] for match in re.findall(r"^\s+(\d+)\s+×\d+.*?  (keep [\d.]+|scrap)  ", table, re.M)}
        patterns = {bar["pattern"]: bar for bar in bars}
        self.assertEqual(set(rest), set(patterns))
        for number, text in rest.items():
            bar = patterns[number]
            self.assertEqual(text, f"keep {bar['kept_length']:g}" if bar["kept"] else "scrap")
        kept_count = summary["kept_count"]
        self.assertIn(f"Kept:         {kept_count} offcut{'' if kept_count == 1 else 's'}, ", table)

        root = ElementTree.parse(self.path("plan.svg")).getroot()
        groups = [group for group in root.iter(SVG + "g") if group.get("class") == "pattern"]
        self.assertEqual([int(group.get("data-pattern")) for group in groups], sorted(patterns))
        for group in groups:
            bar = patterns[int(group.get("data-pattern"))]
            numbers = [number for number, other in enumerate(bars, 1) if other["pattern"] == bar["pattern"]]
            self.assertEqual(int(group.get("data-count")), len(numbers))
            kept = [rect for rect in group.iter(SVG + "rect") if rect.get("class") == "kept"]
            self.assertEqual(len(kept), 1 if bar["kept"] else 0)
        legend = {int(rect.get("data-item")) for rect in root.iter(SVG + "rect") if rect.get("class") == "swatch"}
        self.assertEqual(legend, set(range(1, len(JOB["items"]) + 1)), "the legend covers every item kind")

        with open(self.path("plan.html"), encoding="utf-8") as file:
            html = file.read()
        self.assertEqual(html.count('class="tick"'), len(bars))
        self.assertEqual(html.count('<figure class="pattern"'), len(patterns))


if __name__ == "__main__":
    unittest.main()
