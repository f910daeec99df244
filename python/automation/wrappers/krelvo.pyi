"""Krelvo 1.0 ({E9746FEC-3D90-4528-A028-F4424F912B1B}), generated from its type library by automation.generate."""
import typing

import automation

# razine_opt
brza: int
standardna: int
jaka: int
vrlojaka: int

# optErrorCodes
optUnhandledErr: int

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
    PROG_ID: str
    CLSID: str
    def __init__(self, dispatch: automation.Dispatch | None = None) -> None: ...
    razina: int
    randomiziraj: bool
    nitem: int
    nsource: int
    prekid: bool
    brsipka: int
    otpad: float
    progress: int
    litem: automation.SafeArray
    mitem: automation.SafeArray
    lsource: automation.SafeArray
    msource: automation.SafeArray
    rezanje: automation.SafeArray
    def pokreni(self) -> None: ...
    def test(self, v: int, k: int, iter: int) -> tuple[int, int, int]: ...
