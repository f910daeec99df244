"""clsINI from Python: values read, written and removed by late binding."""
import os
import tempfile
import unittest

import automation

CLSID = "{4CBA9105-2CFA-4B68-B4D4-063066D44984}"


class IniFile(unittest.TestCase):
    def setUp(self):
        self.folder = tempfile.TemporaryDirectory()
        self.path = os.path.join(self.folder.name, "settings.ini")
        with open(self.path, "wb") as ini:
            ini.write(b"; settings\r\n[Main]\r\nName = Door frames\r\nCount=12\r\nHalf=2.5\r\n")
        self.boxes = []
        automation.set_message_box(lambda text, caption, style: self.boxes.append((caption, text, style)))

    def tearDown(self):
        automation.set_message_box(None)
        self.folder.cleanup()

    def content(self):
        with open(self.path, "rb") as ini:
            return ini.read()

    def test_reads_by_both_identifiers(self):
        for name in ("Drumel.clsINI", CLSID):
            with self.subTest(name=name):
                ini = automation.Dispatch(name)
                self.assertEqual(ini.GetKeyVal("main", "NAME", "", self.path), "Door frames")
                self.assertEqual(ini.GetKeyVal("Main", "Missing", "abc", self.path), "abc")
                self.assertEqual(ini.GetKeyVal("Main", None, "", self.path), "Name")
                self.assertEqual(ini.GetIntVal("Main", "Count", "0", self.path), 12)
                self.assertEqual(ini.GetIntVal("Main", "Half", "0", self.path), 2)
                self.assertEqual(ini.GetDoubleVal("Main", "Name", "7", self.path), 7)

    def test_writes_and_deletes_take_the_file_where_the_slots_say(self):
        ini = automation.Dispatch("Drumel.clsINI")
        self.assertIsNone(ini.AddToINI("Main", "Count", "13", self.path))
        self.assertIsNone(ini.AddToINI("Extra", "Key", "v", self.path))
        self.assertIsNone(ini.DeleteKeyValue(self.path, "Main", "Half"))
        self.assertIsNone(ini.DeleteKey(self.path, "Main", "Name"))
        self.assertIsNone(ini.DeleteSection(self.path, "Extra"))
        self.assertEqual(self.content(), b"; settings\r\n[Main]\r\nCount=13\r\nHalf=\r\n")
        self.assertEqual(self.boxes, [])

    def test_no_number_fails_with_type_mismatch(self):
        ini = automation.Dispatch("Drumel.clsINI")
        with self.assertRaises(automation.Error) as raised:
            ini.GetIntVal("Main", "Name", "0", self.path)
        self.assertEqual(raised.exception.number, 13)

    def test_a_missing_file_shows_the_box_and_is_not_created(self):
        ini = automation.Dispatch("Drumel.clsINI")
        missing = os.path.join(self.folder.name, "missing.ini")
        self.assertIsNone(ini.AddToINI("Main", "Key", "v", missing))
        self.assertFalse(os.path.exists(missing))
        self.assertEqual(self.boxes, [("INI File Not Found",
                                       "File Not Found: " + missing + "\r\nPlease refer to code in function 'AddToINI'",
                                       48)])


if __name__ == "__main__":
    unittest.main()
