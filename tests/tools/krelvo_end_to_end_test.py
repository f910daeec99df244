"""End-to-end tests of the krelvo command line: the built binary on real files.

The binary is named by the environment variable KRELVO and the bundled
examples folder by KRELVO_EXAMPLES (CTest sets both). Every plan printed, in
every format, is parsed back and checked against the problem: each piece cut
exactly once, no bar overfilled, no more bars of a limited stock kind than exist.
"""

import collections
import csv
import io
import json
import os
import pty
import random
import re
import signal
import stat
import subprocess
import tempfile
import threading
import time
import unittest
import xml.etree.ElementTree as ElementTree

KRELVO = os.environ.get("KRELVO", "build/bin/krelvo")
EXAMPLES = os.environ.get("KRELVO_EXAMPLES", "examples/problems")
SVG = "{http://www.w3.org/2000/svg}"

# Bars are cut as Bar(stock number, stock length, [(item number, length)], used, leftover).
Bar = collections.namedtuple("Bar", "stock length pieces used leftover")


def run(*arguments, timeout=120):
    return subprocess.run([KRELVO, *arguments], capture_output=True, text=True, timeout=timeout)


def big_problem(pieces_per_kind=(5, 30), kinds=40, seed=7):
    """A problem that keeps vrlojaka busy for many seconds, 100 plans at a time."""
    generator = random.Random(seed)
    items = [{"length": generator.randint(150, 2900), "quantity": generator.randint(*pieces_per_kind)}
             for _ in range(kinds)]
    return {"stock": [{"length": 6000, "quantity": 0}], "items": items}


class KrelvoTestCase(unittest.TestCase):
    def setUp(self):
        self.directory = tempfile.TemporaryDirectory()
        self.addCleanup(self.directory.cleanup)

    def path(self, name):
        return os.path.join(self.directory.name, name)

    def write(self, name, content):
        with open(self.path(name), "w", encoding="utf-8") as file:
            file.write(content if isinstance(content, str) else json.dumps(content))
        return self.path(name)

    def check_plan(self, problem, bars, kerf=0.0, trim=0.0):
        """Every piece exactly once, bars not overfilled, limited stock respected, in consumption order."""
        stock, items = problem["stock"], problem["items"]
        cut = collections.Counter()
        for bar in bars:
            kind = stock[bar.stock - 1]
            self.assertEqual(bar.length, kind["length"])
            for number, length in bar.pieces:
                self.assertEqual(length, items[number - 1]["length"], f"piece of item {number}")
                cut[number] += 1
            if bar.pieces:
                filled = sum(length for _, length in bar.pieces) + (len(bar.pieces) - 1) * kerf + trim
                self.assertLessEqual(filled, bar.length + 1e-9)
                self.assertAlmostEqual(bar.leftover, bar.length - filled, places=6)
            self.assertAlmostEqual(bar.used + bar.leftover, bar.length, places=6)
        wanted = {number: item["quantity"] for number, item in enumerate(items, 1) if item["quantity"] > 0}
        self.assertEqual(dict(cut), wanted)
        used = collections.Counter(bar.stock for bar in bars)
        for number, count in used.items():
            if stock[number - 1]["quantity"] > 0:
                self.assertLessEqual(count, stock[number - 1]["quantity"], f"stock kind {number}")
        self.assertEqual([bar.stock for bar in bars], sorted(bar.stock for bar in bars))

    # Readers of the four outputs, back into bars.

    def bars_from_json(self, text):
        document = json.loads(text)
        bars = [Bar(b["stock"], b["length"], [(p["item"], p["length"]) for p in b["pieces"]], b["used"], b["leftover"])
                for b in document["bars"]]
        self.assertEqual(document["brsipka"], len(bars))
        self.assertAlmostEqual(document["otpad"], sum(bar.leftover for bar in bars[:-1]), places=6)
        self.assertAlmostEqual(document["summary"]["leftover"], sum(bar.leftover for bar in bars), places=6)
        return document, bars

    def bars_from_csv(self, text):
        rows = list(csv.DictReader(io.StringIO(text)))
        by_bar = collections.OrderedDict()
        for row in rows:
            bar = by_bar.setdefault(int(row["bar"]), Bar(int(row["stock"]), float(row["stock_length"]), [],
                                                         float(row["used"]), float(row["leftover"])))
            if row["item"]:
                bar.pieces.append((int(row["item"]), float(row["length"])))
        self.assertEqual(list(by_bar), list(range(1, len(by_bar) + 1)))
        return list(by_bar.values())

    def bars_from_svg(self, path):
        root = ElementTree.parse(path).getroot()
        self.assertEqual(root.tag, SVG + "svg")
        for rect in root.iter(SVG + "rect"):
            for attribute in ("x", "width"):
                if attribute in rect.attrib:
                    self.assertGreaterEqual(float(rect.attrib[attribute]), 0.0)
        bars = []
        for group in root.iter(SVG + "g"):
            if group.get("class") != "pattern":
                continue
            stock = int(group.get("data-stock"))
            pieces = [(int(rect.get("data-item")), None) for rect in group.iter(SVG + "rect")
                      if rect.get("class") == "piece"]
            bars += [(stock, pieces)] * int(group.get("data-count"))
        return bars

    def check_svg(self, problem, path):
        """The diagram draws each pattern with its count: the same pieces and stock as the plan."""
        bars = self.bars_from_svg(path)
        cut = collections.Counter(number for _, pieces in bars for number, _ in pieces)
        wanted = {number: item["quantity"] for number, item in enumerate(problem["items"], 1) if item["quantity"] > 0}
        self.assertEqual(dict(cut), wanted)
        used = collections.Counter(stock for stock, _ in bars)
        for number, count in used.items():
            limit = problem["stock"][number - 1]["quantity"]
            if limit > 0:
                self.assertLessEqual(count, limit)

    def bars_from_table(self, problem, text):
        """Rows '#  ×N  length (stock label)  used  leftover  pieces'; stock and item labels must be unique."""
        stock_by_label = {kind.get("label"): number for number, kind in enumerate(problem["stock"], 1)}
        item_by_key = {(float(item["length"]), item.get("label")): number
                       for number, item in enumerate(problem["items"], 1)}
        row = re.compile(r"^\s*\d+\s+×(\d+)\s+([\d.]+)(?: \(([^)]*)\))?\s+([\d.]+)\s+([\d.]+)\s+(.*)$")
        piece = re.compile(r"^([\d.]+)(?: \((.*)\))? ×(\d+)$")
        bars = []
        for line in text.splitlines():
            match = row.match(line)
            if not match:
                continue
            count, length, label, used, leftover, pieces_text = match.groups()
            pieces = []
            if pieces_text != "(no piece)":
                for part in pieces_text.split(", "):
                    piece_match = piece.match(part)
                    self.assertIsNotNone(piece_match, part)
                    key = (float(piece_match.group(1)), piece_match.group(2))
                    pieces += [(item_by_key[key], key[0])] * int(piece_match.group(3))
            bar = Bar(stock_by_label[label], float(length), pieces, float(used), float(leftover))
            bars += [bar] * int(count)
        self.assertTrue(bars, text)
        return bars


# Two offcut racks of limited supply, then full bars without limit; labels make table rows readable back.
MIXED_STOCK = {
    "stock": [{"length": 3500, "quantity": 2, "label": "offcut"},
              {"length": 6000, "quantity": 3, "label": "short rack"},
              {"length": 12000, "quantity": 0, "label": "long rack"}],
    "items": [{"length": 450, "quantity": 12, "label": "brace"},
              {"length": 2150, "quantity": 9, "label": "door jamb"},
              {"length": 780.5, "quantity": 8},
              {"length": 3000, "quantity": 0, "label": "spare"},
              {"length": 1200, "quantity": 10, "label": "sill"},
              {"length": 2050, "quantity": 6, "label": "window jamb"}],
}


class Outputs(KrelvoTestCase):
    def test_bundled_example_prints_a_complete_table(self):
        example = os.path.join(EXAMPLES, "door_frames.json")
        with open(example, encoding="utf-8") as file:
            problem = json.load(file)
        result = run(example)
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertEqual(result.stderr, "", "no progress bar when standard error is not a terminal")
        self.assertIn("Cutting plan:", result.stdout)
        self.assertIn("Lower bound:", result.stdout)
        self.check_plan(problem, self.bars_from_table(problem, result.stdout))

    def test_every_format_accounts_for_every_piece_with_kerf_and_trim(self):
        problem_file = self.write("mixed.json", MIXED_STOCK)
        for kerf, trim in ((0.0, 0.0), (3.0, 10.0), (4.5, 0.0)):
            allowances = ["--kerf", str(kerf), "--trim", str(trim)]
            with self.subTest(kerf=kerf, trim=trim):
                table = run(problem_file, *allowances, "--svg", self.path("plan.svg"))
                self.assertEqual(table.returncode, 0, table.stderr)
                self.check_plan(MIXED_STOCK, self.bars_from_table(MIXED_STOCK, table.stdout), kerf, trim)
                self.check_svg(MIXED_STOCK, self.path("plan.svg"))

                as_json = run(problem_file, *allowances, "--format", "json")
                self.assertEqual(as_json.returncode, 0, as_json.stderr)
                document, json_bars = self.bars_from_json(as_json.stdout)
                self.assertFalse(document["interrupted"])
                self.assertEqual(document["kerf"], kerf)
                self.check_plan(MIXED_STOCK, json_bars, kerf, trim)

                as_csv = run(problem_file, *allowances, "--format", "csv")
                self.assertEqual(as_csv.returncode, 0, as_csv.stderr)
                csv_bars = self.bars_from_csv(as_csv.stdout)
                self.check_plan(MIXED_STOCK, csv_bars, kerf, trim)
                # The same repeatable plan whatever the format.
                self.assertEqual([sorted(bar.pieces) for bar in csv_bars], [sorted(bar.pieces) for bar in json_bars])

    def test_limited_stock_is_used_first_and_never_exceeded(self):
        _, bars = self.bars_from_json(run(self.write("mixed.json", MIXED_STOCK), "--format", "json").stdout)
        counts = collections.Counter(bar.stock for bar in bars)
        self.assertEqual(counts[1], 2)
        self.assertEqual(counts[2], 3)
        self.assertGreater(counts[3], 0)

    def test_items_keep_their_numbers_and_labels_whatever_the_order(self):
        problem = {"stock": [{"length": 1000, "quantity": 0}],
                   "items": [{"length": 100, "quantity": 3, "label": "short"},
                             {"length": 700, "quantity": 2, "label": "long"},
                             {"length": 300, "quantity": 2, "label": "middle"}]}
        result = run(self.write("p.json", problem), "--format", "json")
        document, bars = self.bars_from_json(result.stdout)
        self.check_plan(problem, bars)
        for bar in document["bars"]:
            for piece in bar["pieces"]:
                self.assertEqual(piece["label"], problem["items"][piece["item"] - 1]["label"])
            lengths = [piece["length"] for piece in bar["pieces"]]
            self.assertEqual(lengths, sorted(lengths, reverse=True), "longest first on each bar")

    def test_csv_input_with_quoted_labels(self):
        items = self.write("items.csv", 'length,quantity,label\n2150,4,"door, left"\n1200.25,6,sill\n')
        stock = self.write("stock.csv", "length,quantity\n6000,0\n")
        problem = {"stock": [{"length": 6000, "quantity": 0}],
                   "items": [{"length": 2150, "quantity": 4}, {"length": 1200.25, "quantity": 6}]}
        result = run("--items", items, "--stock", stock, "--format", "csv")
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertIn('"door, left"', result.stdout)
        self.check_plan(problem, self.bars_from_csv(result.stdout))

    def test_csv_stock_replaces_the_problem_files_stock(self):
        stock = self.write("stock.csv", "length,quantity\n12000,0\n")
        result = run(self.write("mixed.json", MIXED_STOCK), "--stock", stock, "--format", "json")
        _, bars = self.bars_from_json(result.stdout)
        self.assertEqual({bar.length for bar in bars}, {12000})

    def test_fixed_seed_repeats_the_plan(self):
        problem_file = self.write("mixed.json", MIXED_STOCK)
        first, second = run(problem_file, "--format", "json"), run(problem_file, "--format", "json")
        self.assertEqual(first.stdout, second.stdout)

    def test_svg_escapes_labels(self):
        problem = {"stock": [{"length": 100, "quantity": 0, "label": "<rack & co>"}],
                   "items": [{"length": 60, "quantity": 2, "label": "a \"quoted\" <b>"}]}
        result = run(self.write("p.json", problem), "--svg", self.path("p.svg"))
        self.assertEqual(result.returncode, 0, result.stderr)
        root = ElementTree.parse(self.path("p.svg")).getroot()
        titles = [title.text for title in root.iter(SVG + "title")]
        self.assertIn('60 a "quoted" <b> (item 1)', titles)

    def test_help_and_version(self):
        result = run("--help")
        self.assertEqual(result.returncode, 0)
        for option in ("--items", "--stock", "--level", "--seed", "--jobs", "--kerf", "--trim", "--format",
                       "--svg", "--quiet"):
            self.assertIn(option, result.stdout)
        self.assertRegex(run("--version").stdout, r"^krelvo \d+\.\d+")


class InputErrors(KrelvoTestCase):
    def assert_input_error(self, arguments, *expected):
        svg = self.path("never.svg")
        result = run(*arguments, "--svg", svg)
        self.assertEqual(result.returncode, 2, result.stderr)
        self.assertEqual(result.stdout, "", "no partial output")
        self.assertFalse(os.path.exists(svg), "no partial output")
        lines = result.stderr.splitlines()
        self.assertEqual(len(lines), 1, result.stderr)
        self.assertTrue(lines[0].startswith("krelvo: "), lines[0])
        for text in expected:
            self.assertIn(text, lines[0])

    def test_each_input_error_is_one_line_with_status_two(self):
        stock = [{"length": 6000, "quantity": 0}]
        cases = {
            "missing file": (["nowhere.json"], "nowhere.json: cannot open"),
            "bad JSON": ('{"stock": [}', "bad JSON.json:1:12: invalid JSON"),
            "non-numeric length": ({"stock": stock, "items": [{"length": "long", "quantity": 1}]},
                                   "item 1: length must be a number"),
            "negative length": ({"stock": stock, "items": [{"length": 5, "quantity": 1}, {"length": -5, "quantity": 1}]},
                                "item 2: length -5 is negative"),
            "fractional quantity": ({"stock": stock, "items": [{"length": 5, "quantity": 1.5}]},
                                    "item 1: quantity 1.5 is not a whole number"),
            "empty item list": ({"stock": stock, "items": []}, "the item list is empty"),
            "piece longer than every bar": ({"stock": stock, "items": [{"length": 6500, "quantity": 1}]},
                                            "item 1: length 6500 is longer than every stock bar"),
        }
        for name, (content, message) in cases.items():
            with self.subTest(name):
                arguments = content if isinstance(content, list) else [self.write(name + ".json", content)]
                self.assert_input_error(arguments, message)

    def test_hostile_numbers_and_ambiguous_documents_are_input_errors(self):
        item = '{"length": 1, "quantity": 1}'
        cases = {
            "beyond double": ('{"stock": [{"length": 1e309, "quantity": 0}], "items": [%s]}' % item,
                              "p.json: stock 1: the number 1e309 is too large"),
            "400 digits": ('{"stock": [{"length": %s, "quantity": 0}], "items": [%s]}' % ("9" * 400, item),
                           "p.json: stock 1: the number " + "9" * 40 + "… is too large"),
            "repeated key": ('{"stock": [{"length": 10, "quantity": 0}], "items": [{"length": 20, "quantity": 1, '
                             '"length": 1}]}', 'p.json: item 1: the key "length" appears more than once'),
            "repeated list": ('{"stock": [{"length": 10, "quantity": 0}], "items": [%s], "items": [%s]}' % (item, item),
                              'p.json: the key "items" appears more than once'),
            "bytes after": ('{"stock": [{"length": 10, "quantity": 0}], "items": [%s]}\0garbage' % item,
                            "unexpected bytes after the end of the document"),
            "near-whole piece": ('{"stock": [{"length": 10, "quantity": 0}], "items": [{"length": 2.0000000009, '
                                 '"quantity": 5}]}',
                                 "p.json: item 1: length 2.0000000009 has 10 decimals; krelvo works to 6 decimals"),
            "tiny piece": ('{"stock": [{"length": 10, "quantity": 0}], "items": [%s, {"length": 1e-9, "quantity": 1}]}'
                           % item, "p.json: item 2: length 1e-9 has 9 decimals"),
        }
        for name, (text, message) in cases.items():
            with self.subTest(name):
                self.assert_input_error([self.write("p.json", text)], message)

    def test_labels_cannot_reach_the_terminal_raw(self):
        problem = self.write("p.json", {"stock": [{"length": 100, "quantity": 0}],
                                        "items": [{"length": 60, "quantity": 1, "label": "\x1b]0;pwned\x07"},
                                                  {"length": 10, "quantity": 1, "label": "two\nlines"}]})
        result = run(problem)
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertNotIn("\x1b", result.stdout)
        self.assertIn("60 (\\x1b]0;pwned\\x07) ×1, 10 (two\\nlines) ×1", result.stdout)
        items = self.write("items.csv", "length,quantity,\x1b[2Jcolour\n10,1,red\n")
        stock = self.write("stock.csv", "length,quantity\n100,0\n")
        warned = run("--items", items, "--stock", stock)
        self.assertEqual(warned.returncode, 0, warned.stderr)
        self.assertEqual(warned.stderr, 'krelvo: warning: %s:1: not used: the columns "\\x1b[2Jcolour"\n' % items)

    def test_csv_errors_name_the_line(self):
        stock = self.write("stock.csv", "length,quantity\n6000,0\n")
        items = self.write("items.csv", "length,quantity\n100,2\n\nabc,1\n")
        self.assert_input_error(["--items", items, "--stock", stock], "items.csv:4: length \"abc\" is not a number")

    def test_trim_that_eats_a_bar(self):
        problem = self.write("p.json", {"stock": [{"length": 10, "quantity": 0}], "items": [{"length": 1, "quantity": 1}]})
        self.assert_input_error([problem, "--trim", "10"], "stock 1: length 10 leaves nothing after the trim 10")

    def test_jobs_with_fixed_seed_is_refused(self):
        example = os.path.join(EXAMPLES, "door_frames.json")
        self.assert_input_error([example, "--jobs", "2"], "--jobs 2 needs --seed clock")

    def test_stock_too_small_for_the_demand_is_said_before_the_run(self):
        problem = self.write("p.json", {"stock": [{"length": 6000, "quantity": 1}],
                                        "items": [{"length": 4000, "quantity": 2}]})
        self.assert_input_error([problem], "krelvo: " + problem + ": the items need at least 2 bars of 6000 "
                                "(12 000 in all), but only 1 bar of 6000 is in stock")

    def test_closed_standard_output_writes_no_diagram(self):
        example = os.path.join(EXAMPLES, "door_frames.json")
        svg = self.path("plan.svg")
        result = subprocess.run([KRELVO, example, "--svg", svg], stdout=subprocess.DEVNULL, stderr=subprocess.PIPE,
                                text=True, timeout=120, preexec_fn=lambda: os.close(1))
        self.assertEqual(result.returncode, 1)
        self.assertIn("cannot write the plan to standard output", result.stderr)
        self.assertFalse(os.path.exists(svg))

    def test_job_beyond_memory_is_refused_up_front(self):
        # K kinds of one short piece each on bars of 40: about K / 2 bars of K + 1 counts, four copies
        # per job, 256 jobs: some 2048 K^2 bytes, twice the machine's memory.
        memory = os.sysconf("SC_PHYS_PAGES") * os.sysconf("SC_PAGE_SIZE")
        kinds = int((2 * memory / 2048) ** 0.5) + 1000
        items = [{"length": 1 + index % 39, "quantity": 1} for index in range(kinds)]
        problem = self.write("p.json", {"stock": [{"length": 40, "quantity": 0}], "items": items})
        result = run(problem, "--seed", "clock", "--jobs", "256")
        self.assertEqual(result.returncode, 2, result.stderr)
        self.assertEqual(result.stdout, "")
        self.assertRegex(result.stderr, r"^krelvo: the job needs about [\d.]+ GB of memory \(256 jobs of [\d.]+ [GM]B\), "
                                        r"but only [\d.]+ [GM]B is available; run fewer --jobs or split the item list\n$")

    def test_unwritable_diagram_fails_before_any_output(self):
        example = os.path.join(EXAMPLES, "door_frames.json")
        result = run(example, "--svg", self.path("no/such/folder/plan.svg"))
        self.assertEqual(result.returncode, 1)
        self.assertEqual(result.stdout, "")
        self.assertIn("plan.svg: No such file or directory", result.stderr)


class RunShowingProgress:
    """krelvo with its standard error on a terminal, where the progress bar
    shows. wait_for_progress returns once the first progress line is there:
    then the run is under way, however slowly the machine started it.
    Everything shown on the terminal is collected."""

    def __init__(self, arguments):
        controller, terminal = pty.openpty()
        self.child = subprocess.Popen(arguments, stdout=subprocess.PIPE, stderr=terminal, text=True)
        os.close(terminal)
        self._shown = bytearray()
        self._progress = threading.Event()
        self._reader = threading.Thread(target=self._read, args=(controller,), daemon=True)
        self._reader.start()

    def _read(self, controller):
        while True:
            try:
                chunk = os.read(controller, 4096)
            except OSError:  # the child closed the terminal
                break
            if not chunk:
                break
            self._shown.extend(chunk)
            if b"%" in self._shown:
                self._progress.set()
        os.close(controller)
        self._progress.set()

    def wait_for_progress(self, timeout=60):
        return self._progress.wait(timeout) and self.child.poll() is None

    def shows_within(self, text, timeout):
        """Whether the terminal shows `text` within `timeout` seconds."""
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            if text.replace("\n", "\r\n").encode() in self._shown:
                return True
            time.sleep(0.01)
        return False

    def shown_bytes(self):
        return bytes(self._shown)

    def finish(self, timeout):
        out, _ = self.child.communicate(timeout=timeout)
        self._reader.join(timeout)
        return out, self._shown.decode(errors="replace")


class Runs(KrelvoTestCase):
    def test_ctrl_c_prints_the_best_plan_so_far_and_exits_130(self):
        problem = big_problem()
        run = RunShowingProgress([KRELVO, self.write("big.json", problem), "--level", "vrlojaka", "--format", "json"])
        self.assertTrue(run.wait_for_progress(), "the run must be going")
        run.child.send_signal(signal.SIGINT)
        interrupted_at = time.monotonic()
        # Acknowledged at once, long before the checkpoint.
        self.assertTrue(run.shows_within("krelvo: stopping at the next checkpoint; press Ctrl-C again to quit\n",
                                         timeout=1.0))
        out, err = run.finish(timeout=120)
        # The next checkpoint comes after at most one block of 100 plans; the whole run takes a hundred times more.
        self.assertLess(time.monotonic() - interrupted_at, 15.0)
        self.assertEqual(run.child.returncode, 130, err)
        document, bars = self.bars_from_json(out)
        self.assertTrue(document["interrupted"])
        self.check_plan(problem, bars)
        self.assertIn("interrupted", err)

    def test_ctrl_c_on_a_terminal_clears_the_progress_line_first(self):
        run = RunShowingProgress([KRELVO, self.write("big.json", big_problem()), "--level", "vrlojaka"])
        self.assertTrue(run.wait_for_progress(), "the run must be going")
        run.child.send_signal(signal.SIGINT)
        run.finish(timeout=120)
        self.assertEqual(run.child.returncode, 130)
        shown = run.shown_bytes()
        # The terminal turns each line feed into CR LF.
        self.assertIn(b"\r\x1b[Kkrelvo: stopping at the next checkpoint; press Ctrl-C again to quit\r\n", shown)
        self.assertIn(b"krelvo: interrupted; the plan shown is the best found so far\r\n", shown)
        # Every message starts on a line of its own: the progress line was cleared
        # (or a message already ended the line) before it was written.
        for message in re.finditer(rb"krelvo: ", shown):
            before = shown[:message.start()]
            self.assertTrue(before == b"" or before.endswith((b"\r\x1b[K", b"\r\n")), shown[:message.end()][-80:])

    def test_second_ctrl_c_ends_at_once(self):
        # A plan takes tens of milliseconds here, so the first checkpoint is seconds away.
        heavy = big_problem(pieces_per_kind=(10, 40), kinds=100, seed=5)
        run = RunShowingProgress([KRELVO, self.write("heavy.json", heavy), "--level", "vrlojaka"])
        self.assertTrue(run.wait_for_progress(), "the run must be going")
        # Signals of one kind pending together count once, so Ctrl-C is pressed
        # until krelvo ends: the first only asks for the next checkpoint, which is
        # far away; a later one ends krelvo at once, before any plan is printed.
        deadline = time.monotonic() + 30
        presses = 0
        while run.child.poll() is None and time.monotonic() < deadline:
            run.child.send_signal(signal.SIGINT)
            presses += 1
            try:
                run.child.wait(timeout=0.05)
            except subprocess.TimeoutExpired:
                pass
        out, _ = run.finish(timeout=30)
        self.assertGreaterEqual(presses, 2, "the first Ctrl-C waits for the next checkpoint")
        self.assertEqual(run.child.returncode, -signal.SIGINT)
        self.assertEqual(out, "")

    def test_jobs_run_independent_searches_and_keep_a_valid_best(self):
        problem = big_problem(pieces_per_kind=(1, 4), kinds=25, seed=3)
        problem_file = self.write("p.json", problem)
        result = run(problem_file, "--level", "brza", "--seed", "clock", "--jobs", "3", "--format", "json")
        self.assertEqual(result.returncode, 0, result.stderr)
        document, bars = self.bars_from_json(result.stdout)
        self.assertEqual(document["jobs"], 3)
        self.check_plan(problem, bars)

    def test_progress_bar_only_on_a_terminal_and_not_when_quiet(self):
        problem_file = self.write("big.json", big_problem())
        for quiet in (False, True):
            with self.subTest(quiet=quiet):
                arguments = [KRELVO, problem_file, "--level", "standardna"] + (["--quiet"] if quiet else [])
                run = RunShowingProgress(arguments)
                _, shown = run.finish(timeout=120)
                self.assertEqual(run.child.returncode, 0)
                if quiet:
                    self.assertEqual(shown, "")
                else:
                    self.assertRegex(shown, r"\[[#-]+\] +\d+%  waste \d+  \d+ bars  \d+:\d\d")


class Exact(KrelvoTestCase):
    def run_json(self, problem, *arguments):
        result = run(self.write("p.json", problem), "-q", "--format", "json", *arguments, timeout=300)
        self.assertEqual(result.returncode, 0, result.stderr)
        document, bars = self.bars_from_json(result.stdout)
        self.check_plan(problem, bars)
        return document, bars

    def test_lp_bound_proves_a_plan_the_combinatorial_bounds_cannot(self):
        # A 51 shares its bar with nothing and two 50s fill one: 5 bars, where L2 says 4.
        problem = {"stock": [{"length": 100, "quantity": 0}],
                   "items": [{"length": 51, "quantity": 3}, {"length": 50, "quantity": 3}]}
        document, bars = self.run_json(problem)
        self.assertEqual(len(bars), 5)
        self.assertEqual(document["summary"]["lower_bound"], 5)
        self.assertTrue(document["summary"]["proven_optimal"])
        self.assertFalse(document["exact"])

    def test_exact_is_proven_and_never_worse_than_the_default(self):
        generator = random.Random(41)
        for round_number in range(4):
            with self.subTest(round=round_number):
                problem = {"stock": [{"length": 1000, "quantity": 0}],
                           "items": [{"length": generator.randint(200, 700), "quantity": generator.randint(1, 6)}
                                     for _ in range(12)]}
                default, default_bars = self.run_json(problem)
                exact, exact_bars = self.run_json(problem, "--exact", "--time-limit", "60")
                self.assertTrue(exact["exact"])
                self.assertLessEqual(len(exact_bars), len(default_bars))
                self.assertTrue(exact["summary"]["proven_optimal"])
                self.assertEqual(exact["summary"]["lower_bound"], len(exact_bars))
                self.assertIsNone(exact["stopped"])
                # The last bar keeps the largest rest: it goes back to the rack.
                self.assertEqual(max(bar.leftover for bar in exact_bars), exact_bars[-1].leftover)

    def test_exact_with_kerf_and_trim_cuts_every_piece_once(self):
        problem = {"stock": [{"length": 6000, "quantity": 0}],
                   "items": [{"length": 1450.5, "quantity": 7}, {"length": 2990, "quantity": 4},
                             {"length": 880, "quantity": 9}]}
        result = run(self.write("p.json", problem), "-q", "--format", "json", "--exact", "--kerf", "3", "--trim", "10")
        self.assertEqual(result.returncode, 0, result.stderr)
        document, bars = self.bars_from_json(result.stdout)
        self.check_plan(problem, bars, kerf=3, trim=10)
        self.assertTrue(document["summary"]["proven_optimal"])

    def test_several_stock_lengths_are_refused(self):
        result = run(self.write("mixed.json", MIXED_STOCK), "--exact")
        self.assertEqual(result.returncode, 2)
        self.assertEqual(result.stdout, "")
        self.assertEqual(len(result.stderr.splitlines()), 1)
        self.assertIn("one length", result.stderr)

    def test_time_limit_prints_the_best_plan_marked_stopped(self):
        problem = big_problem(pieces_per_kind=(10, 40), kinds=100, seed=5)
        started = time.monotonic()
        result = run(self.write("big.json", problem), "-q", "--format", "json", "--level", "vrlojaka",
                     "--time-limit", "1")
        self.assertLess(time.monotonic() - started, 30.0)
        self.assertEqual(result.returncode, 0, result.stderr)
        document, bars = self.bars_from_json(result.stdout)
        self.check_plan(problem, bars)
        self.assertEqual(document["stopped"], "time-limit")
        self.assertFalse(document["interrupted"])

    def test_ctrl_c_during_the_exact_search_prints_the_incumbent(self):
        problem = big_problem(pieces_per_kind=(10, 40), kinds=100, seed=5)
        child = subprocess.Popen([KRELVO, self.write("big.json", problem), "--exact", "--format", "json"],
                                 stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)
        time.sleep(1.5)
        self.assertIsNone(child.poll(), "the run must still be going")
        child.send_signal(signal.SIGINT)
        out, err = child.communicate(timeout=120)
        self.assertEqual(child.returncode, 130, err)
        document, bars = self.bars_from_json(out)
        self.assertTrue(document["interrupted"])
        self.assertEqual(document["stopped"], "interrupt")
        self.check_plan(problem, bars)


class Workshop(KrelvoTestCase):
    """Lists as spreadsheets export them, plain-language messages, time limits and stock order."""

    def test_european_csv_with_aliases_and_extra_columns(self):
        items = self.write("items.csv", "Naziv;Duljina;Kom;Boja\nvrata;2150,5;4;bijela\nprag;1200;3;\n;;;\n")
        stock = self.write("stock.csv", "duljina;komada\n6000;0\n")
        result = run("--items", items, "--stock", stock, "--format", "json")
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertEqual(result.stderr, "krelvo: warning: %s:1: not used: the columns \"Boja\"\n" % items)
        problem = {"stock": [{"length": 6000, "quantity": 0}],
                   "items": [{"length": 2150.5, "quantity": 4}, {"length": 1200, "quantity": 3}]}
        _, bars = self.bars_from_json(result.stdout)
        self.check_plan(problem, bars)

    def test_csv_output_reads_back_as_the_same_pieces_from_standard_input(self):
        problem = {"stock": [{"length": 1000, "quantity": 0}],
                   "items": [{"length": 300, "quantity": 2, "label": "=cmd|' /C calc'!A0"},
                             {"length": 450.5, "quantity": 3, "label": "two\nlines, \"quoted\""}]}
        first = run(self.write("p.json", problem), "--format", "csv")
        self.assertEqual(first.returncode, 0, first.stderr)
        self.assertIn("'=cmd", first.stdout)
        stock = self.write("stock.csv", "length,quantity\n1000,0\n")
        again = subprocess.run([KRELVO, "--items", "-", "--stock", stock, "--format", "json"], input=first.stdout,
                               capture_output=True, text=True, timeout=120)
        self.assertEqual(again.returncode, 0, again.stderr)
        self.assertIn("standard input:1: not used: the columns", again.stderr)
        document, _ = self.bars_from_json(again.stdout)
        pieces = sorted((piece["length"], piece["label"]) for bar in document["bars"] for piece in bar["pieces"])
        self.assertEqual(pieces, sorted([(300, problem["items"][0]["label"])] * 2 +
                                        [(450.5, problem["items"][1]["label"])] * 3))

    def test_messages_word_for_word(self):
        example = os.path.join(EXAMPLES, "door_frames.json")
        cases = [
            ([example, "--kerf", "-3"], 2, "krelvo: --kerf: -3 is negative (see krelvo --help)\n"),
            ([example, "--kerf", "3,5"], 2, 'krelvo: --kerf: "3,5" is not a number (use . for decimals) (see krelvo --help)\n'),
            ([example, "--kerf", "3mm"], 2, 'krelvo: --kerf: "3mm" is not a number (use . for decimals) (see krelvo --help)\n'),
            ([self.write("short.json", {"stock": [{"length": 6000, "quantity": 1}],
                                        "items": [{"length": 2000, "quantity": 9}]})], 2,
             "krelvo: %s: the items need at least 3 bars of 6000 (18 000 in all), but only 1 bar of 6000 is in stock\n"
             % self.path("short.json")),
            ([self.write("run.json", {"stock": [{"length": 6000, "quantity": 1}, {"length": 4000, "quantity": 1}],
                                      "items": [{"length": 2100, "quantity": 4}]})], 1,
             "krelvo: the optimization failed: the stock ran out before every piece was cut: the pieces do not pack "
             "into the bars in stock; add bars, or a stock kind of quantity 0 (unlimited)\n"),
            ([self.write("far.json", {"stock": [{"length": 10, "quantity": 1}, {"length": 20, "quantity": 0},
                                                {"length": 30, "quantity": 0}], "items": [{"length": 5, "quantity": 1}]}),
              "-q"], 0,
             "krelvo: warning: %s: stock 3: this and later stock kinds are never used, because stock 2 is unlimited "
             "(quantity 0)\n" % self.path("far.json")),
        ]
        for arguments, status, message in cases:
            with self.subTest(arguments[-1]):
                result = run(*arguments)
                self.assertEqual(result.returncode, status, result.stderr)
                self.assertEqual(result.stderr, message)
        verbose = run(self.path("run.json"), "--verbose")
        self.assertIn("krelvo: the optimizer said: ", verbose.stderr)
        self.assertIn("(error 9 in Krelvo)", verbose.stderr)

    def test_one_bar_is_one_bar(self):
        result = run(self.write("p.json", {"stock": [{"length": 100, "quantity": 0}],
                                           "items": [{"length": 50, "quantity": 2}]}))
        self.assertIn("Cutting plan: 1 bar (", result.stdout)
        self.assertIn("Lower bound:  1 bar; this plan has 1", result.stdout)
        self.assertIn("50 ×2", result.stdout)

    def test_time_limit_stops_with_the_best_plan_and_status_zero(self):
        # Plans of a few milliseconds: checkpoints come often; the whole run takes several seconds.
        problem = big_problem(pieces_per_kind=(2, 10), kinds=30, seed=3)
        started = time.monotonic()
        result = run(self.write("big.json", problem), "--level", "vrlojaka", "--time-limit", "1", "--format", "json")
        self.assertLess(time.monotonic() - started, 3.0)
        self.assertEqual(result.returncode, 0, result.stderr)
        document, bars = self.bars_from_json(result.stdout)
        self.assertEqual(document["stopped"], "time-limit")
        self.assertFalse(document["interrupted"])
        self.check_plan(problem, bars)
        self.assertIn("the time limit was reached", result.stderr)

    def test_long_run_is_announced(self):
        heavy = big_problem(pieces_per_kind=(10, 40), kinds=100, seed=5)
        child = subprocess.Popen([KRELVO, self.write("heavy.json", heavy), "--level", "vrlojaka"],
                                 stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, text=True)
        notice = child.stderr.readline()
        child.send_signal(signal.SIGINT)
        child.communicate(timeout=120)
        self.assertRegex(notice, r"^krelvo: this run may take about \d+ (min|h); Ctrl-C or --time-limit SECONDS "
                                 r"stops it early with the best plan so far\n$")

    def test_best_stock_order_finds_the_clearly_better_plan(self):
        problem = {"stock": [{"length": 6000, "quantity": 0}, {"length": 12000, "quantity": 0}],
                   "items": [{"length": 4000, "quantity": 3}]}
        problem_file = self.write("p.json", problem)
        given = json.loads(run(problem_file, "--format", "json").stdout)
        self.assertEqual(given["summary"]["stock_length"], 18000)
        for arguments in (["--stock-order", "best"], ["--stock-order", "best", "--jobs", "2"]):
            with self.subTest(arguments=arguments):
                result = run(problem_file, *arguments, "--format", "json")
                self.assertEqual(result.returncode, 0, result.stderr)
                document = json.loads(result.stdout)
                self.assertEqual(document["summary"]["stock_length"], 12000)
                self.assertEqual(document["stock_order"], {"rule": "best", "order": [2, 1]})
        descending = json.loads(run(problem_file, "--stock-order", "descending", "--format", "json").stdout)
        self.assertEqual(descending["stock_order"]["order"], [2, 1])
        seven = self.write("seven.json", {"stock": [{"length": 100 + k, "quantity": 1} for k in range(7)],
                                          "items": [{"length": 1, "quantity": 1}]})
        self.assert_input_error([seven, "--stock-order", "best"],
                                "--stock-order best: tries every order of at most 6 stock kinds, not 7")

    assert_input_error = InputErrors.assert_input_error


class DiagramFile(KrelvoTestCase):
    """--svg writes what it names and nothing else."""

    example = os.path.join(EXAMPLES, "door_frames.json")

    def test_a_link_is_followed_and_stays_a_link(self):
        target = self.write("elsewhere.svg", "old")
        os.symlink(target, self.path("plan.svg"))
        self.assertEqual(run(self.example, "-q", "--svg", self.path("plan.svg")).returncode, 0)
        self.assertTrue(os.path.islink(self.path("plan.svg")))
        self.assertEqual(ElementTree.parse(target).getroot().tag, SVG + "svg")

    def test_a_fifo_is_written_straight_and_never_replaced(self):
        fifo = self.path("plan.svg")
        os.mkfifo(fifo)
        # Opened first and without waiting, so a krelvo that replaced the FIFO cannot hang the test.
        reader = os.open(fifo, os.O_RDONLY | os.O_NONBLOCK)
        self.addCleanup(os.close, reader)
        child = subprocess.Popen([KRELVO, self.example, "-q", "--svg", fifo], stdout=subprocess.DEVNULL)
        received = b""
        while True:
            finished = child.poll() is not None
            try:
                received += os.read(reader, 1 << 16)
            except BlockingIOError:
                pass
            if finished:
                break
            time.sleep(0.01)
        self.assertEqual(child.returncode, 0)
        self.assertTrue(stat.S_ISFIFO(os.lstat(fifo).st_mode))
        self.assertEqual(ElementTree.fromstring(received).tag, SVG + "svg")

    def test_links_planted_at_temporary_names_are_never_written_through(self):
        victim = self.write("victim", "precious")
        # Every name a writer could use that is derived from the target and a process id.
        first_pid = os.getpid()
        for pid in range(first_pid, first_pid + 3000):
            os.symlink(victim, self.path(f"plan.svg.tmp{pid}"))
        self.assertEqual(run(self.example, "-q", "--svg", self.path("plan.svg")).returncode, 0)
        with open(victim, encoding="utf-8") as file:
            self.assertEqual(file.read(), "precious")
        self.assertEqual(ElementTree.parse(self.path("plan.svg")).getroot().tag, SVG + "svg")
        leftovers = [name for name in os.listdir(self.directory.name)
                     if not name.startswith("plan.svg.tmp") and name not in ("victim", "plan.svg")]
        self.assertEqual(leftovers, [])


if __name__ == "__main__":
    unittest.main()
