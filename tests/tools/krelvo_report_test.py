"""The printable report rendered by a real browser: headless Chromium takes a
screenshot, prints it to PDF and lays it out at the printable width of A4 to
check that nothing overflows the page and that every pattern is drawn.

Without chromium the tests are skipped, except in CI (CI=true), where
scripts/bootstrap installs it and a skip would hide a regression.
"""

import json
import os
import re
import shutil
import struct
import subprocess
import tempfile
import unittest

from krelvo_end_to_end_test import EXAMPLES, KrelvoTestCase, run

# The printable width of A4 with 12 mm margins (186 mm) in CSS pixels, and the whole sheet.
PRINTABLE_WIDTH = 703
A4_PIXELS = (794, 1123)
CHROMIUM_FLAGS = ["--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
                  "--disable-background-networking", "--disable-component-update", "--disable-sync",
                  "--hide-scrollbars", "--virtual-time-budget=5000"]

# Appended to a copy of the report: the layout as the browser made it, written into the page.
LAYOUT_PROBE = """<script>
const page = document.documentElement;
const result = {page_width: page.scrollWidth, view_width: window.innerWidth, overflowing: [], patterns: []};
for (const element of document.body.querySelectorAll("*")) {
  const box = element.getBoundingClientRect();
  if (box.right > window.innerWidth + 0.5 || box.left < -0.5) result.overflowing.push(element.tagName + "." + element.getAttribute("class") + " " + element.textContent.slice(0, 20) + " " + Math.round(box.left) + ".." + Math.round(box.right));
}
for (const figure of document.querySelectorAll("figure.pattern")) {
  const box = figure.querySelector("svg").getBoundingClientRect();
  result.patterns.push({id: figure.id, width: box.width, height: box.height,
                        pieces: figure.querySelectorAll("rect.piece").length});
}
const out = document.createElement("pre");
out.id = "layout";
out.textContent = JSON.stringify(result);
document.body.appendChild(out);
</script>"""


def find_chromium():
    return shutil.which("chromium") or shutil.which("chromium-browser")


# Many item kinds, labels with no room to break and a long stock label: the hard cases for the page width.
CROWDED = {"stock": [{"length": 6000, "quantity": 0,
                      "label": "aluminium profile 40x40 from the second supplier, anodised, batch 2024-11-17-A"}],
           "items": [{"length": 150 + 97 * kind, "quantity": 1 + kind % 3,
                      "label": ("x" * 120 if kind == 3 else f"part {kind} " * (kind % 4 + 1)).strip()}
                     for kind in range(16)] + [{"length": 20, "quantity": 6}]}


class PrintedReport(KrelvoTestCase):
    def setUp(self):
        super().setUp()
        self.chromium = find_chromium()
        if not self.chromium:
            if os.environ.get("CI") == "true":
                self.fail("chromium is missing; scripts/bootstrap installs it for the tests")
            self.skipTest("chromium is not installed (Debian package chromium); the report was not rendered")

    def browser(self, *arguments):
        profile = tempfile.mkdtemp(dir=self.directory.name)
        result = subprocess.run([self.chromium, *CHROMIUM_FLAGS, f"--user-data-dir={profile}", *arguments],
                                capture_output=True, text=True, timeout=120)
        self.assertEqual(result.returncode, 0, result.stderr)
        return result.stdout

    def report(self, problem_file, *options):
        html = self.path("report.html")
        result = run(problem_file, "--html", html, "--format", "json", "-q", *options)
        self.assertEqual(result.returncode, 0, result.stderr)
        return html, json.loads(result.stdout)

    def layout(self, html):
        with open(html, encoding="utf-8") as file:
            probed = file.read().replace("</body>", LAYOUT_PROBE + "</body>")
        probe = self.write("probe.html", probed)
        dom = self.browser(f"--window-size={PRINTABLE_WIDTH},1000", "--dump-dom", "file://" + probe)
        match = re.search(r'<pre id="layout">(.*?)</pre>', dom, re.S)
        self.assertIsNotNone(match, dom[-2000:])
        return json.loads(match.group(1).replace("&quot;", '"').replace("&amp;", "&"))

    def check_layout(self, html, document):
        layout = self.layout(html)
        self.assertLessEqual(layout["page_width"], layout["view_width"], "the page scrolls sideways")
        self.assertEqual(layout["overflowing"], [])
        patterns = {bar["pattern"] for bar in document["bars"]}
        self.assertEqual([pattern["id"] for pattern in layout["patterns"]],
                         [f"pattern-{number}" for number in sorted(patterns)])
        for pattern in layout["patterns"]:
            self.assertGreater(pattern["height"], 10, pattern)
            self.assertLessEqual(pattern["width"], PRINTABLE_WIDTH, pattern)
            self.assertGreater(pattern["pieces"], 0, pattern)

    def test_bundled_example_fits_the_page_as_screenshot_and_pdf(self):
        html, document = self.report(os.path.join(EXAMPLES, "door_frames.json"), "--kerf", "3", "--trim", "10",
                                     "--keep-offcuts", "300")
        self.check_layout(html, document)

        screenshot = self.path("report.png")
        self.browser(f"--window-size={A4_PIXELS[0]},{A4_PIXELS[1]}", f"--screenshot={screenshot}", "file://" + html)
        with open(screenshot, "rb") as file:
            header = file.read(24)
        self.assertEqual(header[:8], b"\x89PNG\r\n\x1a\n")
        self.assertEqual(struct.unpack(">II", header[16:24]), A4_PIXELS)

        pdf = self.path("report.pdf")
        self.browser("--no-pdf-header-footer", f"--print-to-pdf={pdf}", "file://" + html)
        with open(pdf, "rb") as file:
            content = file.read()
        self.assertTrue(content.startswith(b"%PDF-"))
        boxes = re.findall(rb"/MediaBox\s*\[\s*0 0 ([\d.]+) ([\d.]+)\s*\]", content)
        pages = len(re.findall(rb"/Type\s*/Page\b", content))
        self.assertGreaterEqual(pages, 1)
        for width, height in boxes:  # A4 in points
            self.assertAlmostEqual(float(width), 595.3, delta=1.5)
            self.assertAlmostEqual(float(height), 841.9, delta=1.5)

    def test_crowded_plan_with_long_labels_stays_within_the_page(self):
        html, document = self.report(self.write("crowded.json", CROWDED), "--kerf", "3", "--keep-offcuts", "200")
        self.check_layout(html, document)


if __name__ == "__main__":
    unittest.main()
