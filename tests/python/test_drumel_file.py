"""clsFile from Python: checksums, trailers and text files, created by name."""
import os
import tempfile
import unittest
import zlib

import automation


def decoded_cp1250(data):
    # The code page's own table; the bytes it leaves undefined read as the
    # control character of the same number.
    text = data.decode("cp1250", errors="surrogateescape")
    return "".join(chr(ord(c) - 0xDC00) if "\udc80" <= c <= "\udcff" else c for c in text)


def signed(value):
    return value - (1 << 32) if value >= 1 << 31 else value


class ClsFile(unittest.TestCase):
    def setUp(self):
        self.folder = tempfile.TemporaryDirectory()
        self.boxes = []
        automation.set_message_box(lambda text, caption, style: self.boxes.append((text, caption, style)))
        self.file = automation.Dispatch("Drumel.clsFile")

    def tearDown(self):
        automation.set_message_box(None)
        self.folder.cleanup()

    def path(self, name):
        return os.path.join(self.folder.name, name)

    def write(self, name, data):
        with open(self.path(name), "wb") as out:
            out.write(data)

    def test_check_value_and_hex(self):
        self.write("check", b"123456789")
        self.assertEqual(self.file.CRC32FileHex(self.path("check")), "CBF43926")
        self.assertEqual(self.file.CRC32File(self.path("check")), -873187034)

    def test_trailer_written_and_checked_like_zlib(self):
        data = os.urandom(300001)
        self.write("data", data)
        self.assertEqual(self.file.CRC32File(self.path("data"), False, True), signed(zlib.crc32(data)))
        self.assertEqual(self.file.CRC32FileHex(self.path("data"), True), "FFFFFFFF")
        with open(self.path("data"), "rb") as saved:
            self.assertEqual(saved.read(), data + zlib.crc32(data).to_bytes(4, "little"))
        self.assertEqual(self.file.CRC32File(self.path("missing"), False, True), 0)
        self.assertFalse(os.path.exists(self.path("missing")))

    def test_text_round_trip_in_the_code_page(self):
        self.assertTrue(self.file.SaveText("line\r\n\u010d", self.path("text")))
        with open(self.path("text"), "rb") as saved:
            self.assertEqual(saved.read(), b"line\r\n\xe8")
        self.assertEqual(self.file.LoadText(self.path("text")), "line\r\n\u010d")
        self.assertTrue(self.file.FileExists(self.path("text")))
        self.assertEqual(self.boxes, [])

    def test_text_files_of_every_byte_at_buffer_edges_and_large(self):
        every_byte = bytes(range(256))
        for size in (1, 255, 4095, 4096, 4097, 32768, 65537, 3 * 1024 * 1024 + 7):
            with self.subTest(size=size):
                data = (every_byte * (size // 256 + 1))[size % 251:][:size]
                self.write("in", data)
                text = self.file.LoadText(self.path("in"))
                self.assertEqual(text, decoded_cp1250(data))
                self.assertTrue(self.file.SaveText(text, self.path("out")))
                with open(self.path("out"), "rb") as saved:
                    self.assertEqual(saved.read(), data)
        self.assertEqual(self.boxes, [])

    def test_failures_show_their_boxes(self):
        self.assertEqual(self.file.LoadText(self.path("missing")), "")
        self.assertFalse(self.file.SaveText("text", self.path("no folder/text")))
        self.assertEqual(self.boxes, [
            ("File not found. Check if the file is Currently exists.", "Sorry", 16),
            ("Error 76\r\nPath not found", "Error", 16),
        ])
        self.assertFalse(os.path.exists(self.path("no folder")))


if __name__ == "__main__":
    unittest.main()
