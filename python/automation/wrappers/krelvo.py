"""Krelvo 1.0 ({E9746FEC-3D90-4528-A028-F4424F912B1B}), generated from its type library by automation.generate."""
import typing

import automation

# razine_opt
brza: int = 1
standardna: int = 2
jaka: int = 3
vrlojaka: int = 4

# optErrorCodes
optUnhandledErr: int = 1

class clsOptimizacija:
    """Krelvo.clsOptimizacija {1A2E2510-521A-49AE-B558-932F2C234CE7}

Members:
    razina: Long    property, read/write
    randomiziraj: Boolean    property, read/write
    nitem: Long    property, read/write
    nsource: Long    property, read/write
    prekid: Boolean    property, read/write
    brsipka: Long    property, read/write
    otpad: Double    property, read/write
    progress: Integer    property, read/write
    litem: Double()    property, write-only
    mitem: Long()    property, write-only
    lsource: Double()    property, write-only
    msource: Long()    property, write-only
    rezanje: Variant()    property, read-only
    pokreni() -> nothing    method
    test(ByRef v: Long, ByRef k: Long, ByRef iter: Long) -> nothing    method

Events (handler methods On<Name> of DispatchWithEvents):
    ProgressUpdate()"""
    PROG_ID = 'Krelvo.clsOptimizacija'
    CLSID = '{1A2E2510-521A-49AE-B558-932F2C234CE7}'
    __slots__ = ('_dispatch',)

    def __init__(self, dispatch=None):
        self._dispatch = automation.Dispatch(self.PROG_ID) if dispatch is None else dispatch

    def __repr__(self):
        return f'<{self.PROG_ID} {self._dispatch!r}>'

    @property
    def razina(self) -> int:
        """razina: Long    property, read/write"""
        return self._dispatch.razina

    @razina.setter
    def razina(self, value: int) -> None:
        self._dispatch.razina = value

    @property
    def randomiziraj(self) -> bool:
        """randomiziraj: Boolean    property, read/write"""
        return self._dispatch.randomiziraj

    @randomiziraj.setter
    def randomiziraj(self, value: bool) -> None:
        self._dispatch.randomiziraj = value

    @property
    def nitem(self) -> int:
        """nitem: Long    property, read/write"""
        return self._dispatch.nitem

    @nitem.setter
    def nitem(self, value: int) -> None:
        self._dispatch.nitem = value

    @property
    def nsource(self) -> int:
        """nsource: Long    property, read/write"""
        return self._dispatch.nsource

    @nsource.setter
    def nsource(self, value: int) -> None:
        self._dispatch.nsource = value

    @property
    def prekid(self) -> bool:
        """prekid: Boolean    property, read/write"""
        return self._dispatch.prekid

    @prekid.setter
    def prekid(self, value: bool) -> None:
        self._dispatch.prekid = value

    @property
    def brsipka(self) -> int:
        """brsipka: Long    property, read/write"""
        return self._dispatch.brsipka

    @brsipka.setter
    def brsipka(self, value: int) -> None:
        self._dispatch.brsipka = value

    @property
    def otpad(self) -> float:
        """otpad: Double    property, read/write"""
        return self._dispatch.otpad

    @otpad.setter
    def otpad(self, value: float) -> None:
        self._dispatch.otpad = value

    @property
    def progress(self) -> int:
        """progress: Integer    property, read/write"""
        return self._dispatch.progress

    @progress.setter
    def progress(self, value: int) -> None:
        self._dispatch.progress = value

    litem = property(None, None, None, 'litem: Double()    property, write-only')

    @litem.setter
    def litem(self, value: automation.SafeArray) -> None:
        self._dispatch.litem = value

    mitem = property(None, None, None, 'mitem: Long()    property, write-only')

    @mitem.setter
    def mitem(self, value: automation.SafeArray) -> None:
        self._dispatch.mitem = value

    lsource = property(None, None, None, 'lsource: Double()    property, write-only')

    @lsource.setter
    def lsource(self, value: automation.SafeArray) -> None:
        self._dispatch.lsource = value

    msource = property(None, None, None, 'msource: Long()    property, write-only')

    @msource.setter
    def msource(self, value: automation.SafeArray) -> None:
        self._dispatch.msource = value

    @property
    def rezanje(self) -> automation.SafeArray:
        """rezanje: Variant()    property, read-only"""
        return self._dispatch.rezanje

    def pokreni(self) -> None:
        """pokreni() -> nothing    method"""
        return self._dispatch.pokreni()

    def test(self, v: int, k: int, iter: int) -> tuple[int, int, int]:
        """test(ByRef v: Long, ByRef k: Long, ByRef iter: Long) -> nothing    method"""
        return self._dispatch.test(v, k, iter)
