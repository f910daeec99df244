"""Drumel 1.0 ({5E1E083C-1AE4-4B79-A954-77C12376106C}), generated from its type library by automation.generate."""
import typing

import automation

class clsFile:
    """Drumel.clsFile {FDCAA6F1-3F7D-4CCB-BAD2-F2ED408917F5}

Members:
    CRCInit(Poly: Long = -306674912) -> nothing    method
    CRC32File(ByRef Path: String, Check: Boolean = False, Add: Boolean = False) -> Long    method
    CRC32FileHex(ByRef Path: String, Check: Boolean = False, Add: Boolean = False) -> String    method
    LoadText(ByRef FromFile: String) -> String    method
    SaveText(ByRef Text: String, ByRef FileName: String) -> Boolean    method
    FileExists(ByRef FileName: String) -> Boolean    method"""
    PROG_ID = 'Drumel.clsFile'
    CLSID = '{FDCAA6F1-3F7D-4CCB-BAD2-F2ED408917F5}'
    __slots__ = ('_dispatch',)

    def __init__(self, dispatch=None):
        self._dispatch = automation.Dispatch(self.PROG_ID) if dispatch is None else dispatch

    def __repr__(self):
        return f'<{self.PROG_ID} {self._dispatch!r}>'

    def CRCInit(self, Poly: int = -306674912) -> None:
        """CRCInit(Poly: Long = -306674912) -> nothing    method"""
        return self._dispatch.CRCInit(Poly)

    def CRC32File(self, Path: str, Check: bool = False, Add: bool = False) -> int:
        """CRC32File(ByRef Path: String, Check: Boolean = False, Add: Boolean = False) -> Long    method"""
        return self._dispatch.CRC32File(Path, Check, Add)

    def CRC32FileHex(self, Path: str, Check: bool = False, Add: bool = False) -> str:
        """CRC32FileHex(ByRef Path: String, Check: Boolean = False, Add: Boolean = False) -> String    method"""
        return self._dispatch.CRC32FileHex(Path, Check, Add)

    def LoadText(self, FromFile: str) -> str:
        """LoadText(ByRef FromFile: String) -> String    method"""
        return self._dispatch.LoadText(FromFile)

    def SaveText(self, Text: str, FileName: str) -> bool:
        """SaveText(ByRef Text: String, ByRef FileName: String) -> Boolean    method"""
        return self._dispatch.SaveText(Text, FileName)

    def FileExists(self, FileName: str) -> bool:
        """FileExists(ByRef FileName: String) -> Boolean    method"""
        return self._dispatch.FileExists(FileName)


class clsINI:
    """Drumel.clsINI {4CBA9105-2CFA-4B68-B4D4-063066D44984}

Members:
    GetKeyVal(Section: String, Key: String, ByRef Default: String, INIFileLoc: String) -> String    method
    AddToINI(Section: String, Key: String, Value: String, INIFileLoc: String) -> Variant    method
    DeleteSection(INIFileLoc: String, Section: String) -> Variant    method
    DeleteKey(INIFileLoc: String, Section: String, Key: String) -> Variant    method
    DeleteKeyValue(INIFileLoc: String, Section: String, Key: String) -> Variant    method
    GetIntVal(Section: String, Key: String, Default: String, INIFileLoc: String) -> Long    method
    GetDoubleVal(Section: String, Key: String, Default: String, INIFileLoc: String) -> Long    method"""
    PROG_ID = 'Drumel.clsINI'
    CLSID = '{4CBA9105-2CFA-4B68-B4D4-063066D44984}'
    __slots__ = ('_dispatch',)

    def __init__(self, dispatch=None):
        self._dispatch = automation.Dispatch(self.PROG_ID) if dispatch is None else dispatch

    def __repr__(self):
        return f'<{self.PROG_ID} {self._dispatch!r}>'

    def GetKeyVal(self, Section: str, Key: str, Default: str, INIFileLoc: str) -> str:
        """GetKeyVal(Section: String, Key: String, ByRef Default: String, INIFileLoc: String) -> String    method"""
        return self._dispatch.GetKeyVal(Section, Key, Default, INIFileLoc)

    def AddToINI(self, Section: str, Key: str, Value: str, INIFileLoc: str) -> typing.Any:
        """AddToINI(Section: String, Key: String, Value: String, INIFileLoc: String) -> Variant    method"""
        return self._dispatch.AddToINI(Section, Key, Value, INIFileLoc)

    def DeleteSection(self, INIFileLoc: str, Section: str) -> typing.Any:
        """DeleteSection(INIFileLoc: String, Section: String) -> Variant    method"""
        return self._dispatch.DeleteSection(INIFileLoc, Section)

    def DeleteKey(self, INIFileLoc: str, Section: str, Key: str) -> typing.Any:
        """DeleteKey(INIFileLoc: String, Section: String, Key: String) -> Variant    method"""
        return self._dispatch.DeleteKey(INIFileLoc, Section, Key)

    def DeleteKeyValue(self, INIFileLoc: str, Section: str, Key: str) -> typing.Any:
        """DeleteKeyValue(INIFileLoc: String, Section: String, Key: String) -> Variant    method"""
        return self._dispatch.DeleteKeyValue(INIFileLoc, Section, Key)

    def GetIntVal(self, Section: str, Key: str, Default: str, INIFileLoc: str) -> int:
        """GetIntVal(Section: String, Key: String, Default: String, INIFileLoc: String) -> Long    method"""
        return self._dispatch.GetIntVal(Section, Key, Default, INIFileLoc)

    def GetDoubleVal(self, Section: str, Key: str, Default: str, INIFileLoc: str) -> int:
        """GetDoubleVal(Section: String, Key: String, Default: String, INIFileLoc: String) -> Long    method"""
        return self._dispatch.GetDoubleVal(Section, Key, Default, INIFileLoc)


class clsAPI:
    """Drumel.clsAPI {6B716D20-27CD-4B7D-A118-81C377DAA049}

Members:
    RegQueryStringValue(hKey: Long, strValueName: String) -> String    method
    GetFolderName() -> String    method
    GetString(ByRef hKey: Long, ByRef strPath: String, ByRef strValue: String) -> Variant    method
    SaveString(ByRef hKey: Long, ByRef strPath: String, ByRef strValue: String, ByRef strData: String) -> nothing    method
    DelSetting(ByRef hKey: Long, ByRef strPath: String, ByRef strValue: String) -> nothing    method
    ScreenSaverAktivan(ByRef Aktivan: Boolean) -> Integer    method
    DOSStaza(ByRef WINStaza: String) -> String    method
    OSVerzija(ByRef Plat: String, ByRef Ver: String, ByRef Build: String) -> nothing    method
    GetWindowsDir() -> String    method
    GetSystemDir() -> String    method"""
    PROG_ID = 'Drumel.clsAPI'
    CLSID = '{6B716D20-27CD-4B7D-A118-81C377DAA049}'
    __slots__ = ('_dispatch',)

    def __init__(self, dispatch=None):
        self._dispatch = automation.Dispatch(self.PROG_ID) if dispatch is None else dispatch

    def __repr__(self):
        return f'<{self.PROG_ID} {self._dispatch!r}>'

    def RegQueryStringValue(self, hKey: int, strValueName: str) -> str:
        """RegQueryStringValue(hKey: Long, strValueName: String) -> String    method"""
        return self._dispatch.RegQueryStringValue(hKey, strValueName)

    def GetFolderName(self) -> str:
        """GetFolderName() -> String    method"""
        return self._dispatch.GetFolderName()

    def GetString(self, hKey: int, strPath: str, strValue: str) -> typing.Any:
        """GetString(ByRef hKey: Long, ByRef strPath: String, ByRef strValue: String) -> Variant    method"""
        return self._dispatch.GetString(hKey, strPath, strValue)

    def SaveString(self, hKey: int, strPath: str, strValue: str, strData: str) -> tuple[int, str, str, str]:
        """SaveString(ByRef hKey: Long, ByRef strPath: String, ByRef strValue: String, ByRef strData: String) -> nothing    method"""
        return self._dispatch.SaveString(hKey, strPath, strValue, strData)

    def DelSetting(self, hKey: int, strPath: str, strValue: str) -> tuple[int, str, str]:
        """DelSetting(ByRef hKey: Long, ByRef strPath: String, ByRef strValue: String) -> nothing    method"""
        return self._dispatch.DelSetting(hKey, strPath, strValue)

    def ScreenSaverAktivan(self, Aktivan: bool) -> int:
        """ScreenSaverAktivan(ByRef Aktivan: Boolean) -> Integer    method"""
        return self._dispatch.ScreenSaverAktivan(Aktivan)

    def DOSStaza(self, WINStaza: str) -> str:
        """DOSStaza(ByRef WINStaza: String) -> String    method"""
        return self._dispatch.DOSStaza(WINStaza)

    def OSVerzija(self, Plat: str, Ver: str, Build: str) -> tuple[str, str, str]:
        """OSVerzija(ByRef Plat: String, ByRef Ver: String, ByRef Build: String) -> nothing    method"""
        return self._dispatch.OSVerzija(Plat, Ver, Build)

    def GetWindowsDir(self) -> str:
        """GetWindowsDir() -> String    method"""
        return self._dispatch.GetWindowsDir()

    def GetSystemDir(self) -> str:
        """GetSystemDir() -> String    method"""
        return self._dispatch.GetSystemDir()


class clsEncript:
    """Drumel.clsEncript {9FFBAB46-BB02-47AC-A73D-C340166C7B4D}

Members:
    MD5(ByRef sMessage: String) -> String    method
    RndF(ub: Long, lb: Long) -> Long    method
    encrypt(ByRef Kljuc: String, ByRef rijec: String) -> String    method
    decrypt(ByRef Kljuc: String, ByRef sifra: String) -> String    method
    EncryptText(ByRef strText: String, strPwd: String) -> Variant    method
    DecryptText(ByRef strText: String, strPwd: String) -> Variant    method
    Adler32(ByRef V_Data: String) -> Long    method
    Adler16(ByRef V_Data: String) -> Long    method"""
    PROG_ID = 'Drumel.clsEncript'
    CLSID = '{9FFBAB46-BB02-47AC-A73D-C340166C7B4D}'
    __slots__ = ('_dispatch',)

    def __init__(self, dispatch=None):
        self._dispatch = automation.Dispatch(self.PROG_ID) if dispatch is None else dispatch

    def __repr__(self):
        return f'<{self.PROG_ID} {self._dispatch!r}>'

    def MD5(self, sMessage: str) -> str:
        """MD5(ByRef sMessage: String) -> String    method"""
        return self._dispatch.MD5(sMessage)

    def RndF(self, ub: int, lb: int) -> int:
        """RndF(ub: Long, lb: Long) -> Long    method"""
        return self._dispatch.RndF(ub, lb)

    def encrypt(self, Kljuc: str, rijec: str) -> str:
        """encrypt(ByRef Kljuc: String, ByRef rijec: String) -> String    method"""
        return self._dispatch.encrypt(Kljuc, rijec)

    def decrypt(self, Kljuc: str, sifra: str) -> str:
        """decrypt(ByRef Kljuc: String, ByRef sifra: String) -> String    method"""
        return self._dispatch.decrypt(Kljuc, sifra)

    def EncryptText(self, strText: str, strPwd: str) -> typing.Any:
        """EncryptText(ByRef strText: String, strPwd: String) -> Variant    method"""
        return self._dispatch.EncryptText(strText, strPwd)

    def DecryptText(self, strText: str, strPwd: str) -> typing.Any:
        """DecryptText(ByRef strText: String, strPwd: String) -> Variant    method"""
        return self._dispatch.DecryptText(strText, strPwd)

    def Adler32(self, V_Data: str) -> int:
        """Adler32(ByRef V_Data: String) -> Long    method"""
        return self._dispatch.Adler32(V_Data)

    def Adler16(self, V_Data: str) -> int:
        """Adler16(ByRef V_Data: String) -> Long    method"""
        return self._dispatch.Adler16(V_Data)
