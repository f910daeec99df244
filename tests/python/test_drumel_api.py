"""Drumel.clsAPI from Python: registry strings, folder picker, version, folders."""
import os
import re
import tempfile
import unittest

import automation

HKEY_CURRENT_USER = -2147483647  # 0x80000001 as the signed 32-bit handle hosts pass


class RegistryStrings(unittest.TestCase):
    def setUp(self):
        self.config = tempfile.TemporaryDirectory()
        self.previous = os.environ.get("XDG_CONFIG_HOME")
        os.environ["XDG_CONFIG_HOME"] = self.config.name
        self.api = automation.Dispatch("Drumel.clsAPI")

    def tearDown(self):
        if self.previous is None:
            del os.environ["XDG_CONFIG_HOME"]
        else:
            os.environ["XDG_CONFIG_HOME"] = self.previous
        self.config.cleanup()

    def test_saved_string_reads_back_and_arguments_come_back_through_the_code_page(self):
        written = self.api.SaveString(HKEY_CURRENT_USER, "Software\\Drumel\u4e2d", "Ime", "vrijednost \u010d")
        self.assertEqual(written, (HKEY_CURRENT_USER, "Software\\Drumel?", "Ime", "vrijednost \u010d"))
        self.assertEqual(self.api.GetString(HKEY_CURRENT_USER, "Software\\Drumel?", "Ime"), "vrijednost \u010d")
        self.assertTrue(os.path.exists(os.path.join(self.config.name, "krelvo-drumel", "registry.db")))

    def test_missing_values_and_invalid_handles_give_the_empty_string(self):
        self.assertEqual(self.api.GetString(HKEY_CURRENT_USER, "Software\\Nowhere", "Ime"), "")
        self.assertEqual(self.api.RegQueryStringValue(0, "Ime"), "")
        self.api.DelSetting(HKEY_CURRENT_USER, "Software\\Created", "Ime")
        self.assertEqual(self.api.GetString(HKEY_CURRENT_USER, "Software\\Created", "Ime"), "")


class SystemServices(unittest.TestCase):
    def setUp(self):
        self.api = automation.Dispatch("Drumel.clsAPI")

    def tearDown(self):
        automation.set_folder_picker(None)

    def test_folder_picker_of_the_host(self):
        for picked, expected in (("/home/korisnik/\u010da\u0161a", "/home/korisnik/\u010da\u0161a"), (None, "")):
            with self.subTest(picked=picked):
                automation.set_folder_picker(lambda: picked)
                self.assertEqual(self.api.GetFolderName(), expected)

    def test_version_and_folders(self):
        plat, ver, build = self.api.OSVerzija("", "", "")
        self.assertEqual(plat, "")
        self.assertRegex(ver, r"^ \d+\.\d+$")
        self.assertRegex(build, r"^ \d+$")
        self.assertEqual(self.api.GetWindowsDir(), "/etc")
        self.assertEqual(self.api.GetSystemDir(), "/usr/lib")
        self.assertEqual(self.api.DOSStaza("/no/such/path"), "")
        self.assertEqual(self.api.DOSStaza("/etc"), "/etc")


if __name__ == "__main__":
    unittest.main()
