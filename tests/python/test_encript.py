"""Drumel.clsEncript and the encrypted-data component, late bound from Python."""
import unittest

import automation

ERR_OVERFLOW = 6
ERR_BAD_ALGORITHM = -2146893816  # 0x80090008


class Encript(unittest.TestCase):
    def setUp(self):
        self.encript = automation.Dispatch("Drumel.clsEncript")

    def test_digest_and_checksums(self):
        self.assertEqual(self.encript.MD5("abc"), "900150983cd24fb0d6963f7d28e17f72")
        self.assertEqual(self.encript.Adler32("abc"), -2108882648)
        self.assertEqual(self.encript.Adler16("abc"), 27294555)
        self.assertEqual(self.encript.Adler32("\u010d"), 0x00E900E9 - 2147483647)

    def test_text_cipher_round_trip(self):
        text = "Dobar dan, \u010dovje\u010de!"
        enciphered = self.encript.EncryptText(text, "lozinka")
        self.assertEqual(len(enciphered), len(text))
        self.assertNotEqual(enciphered, text)
        self.assertEqual(self.encript.DecryptText(enciphered, "LOZINKA"), text)

    def test_random_integers(self):
        values = {self.encript.RndF(10, 1) for _ in range(500)}
        self.assertEqual(values, set(range(1, 11)))
        with self.assertRaises(automation.Error) as raised:
            self.encript.RndF(2147483647, -2147483648)
        self.assertEqual(raised.exception.number, ERR_OVERFLOW)

    def test_password_encryption(self):
        sealed = self.encript.encrypt("Kljuc", "Tajna poruka \u0161")
        self.assertNotEqual(sealed, "")
        self.assertEqual(self.encript.decrypt("Kljuc", sealed), "Tajna poruka \u0161")
        self.assertEqual(self.encript.decrypt("Kljuc", "not base64"), "")


class EncryptedData(unittest.TestCase):
    def test_refuses_rc4(self):
        data = automation.Dispatch("{A440BD76-CFE1-4D46-AB1F-15F238437A3D}")
        data.Algorithm.Name = 1
        self.assertEqual(data.Algorithm.Name, 1)
        data.SetSecret("pass")
        data.Content = "text"
        with self.assertRaises(automation.Error) as raised:
            data.Encrypt()
        self.assertEqual(raised.exception.number, ERR_BAD_ALGORITHM)


if __name__ == "__main__":
    unittest.main()
