"""Create components by name and use their properties, methods, events and constants.

    opt = automation.Dispatch("Krelvo.clsOptimizacija")
    opt.razina = automation.constants.standardna
"""
from . import _native
from ._native import DispatchWithEvents, Error, SafeArray, set_folder_picker, set_message_box, set_yield
from ._classes import Dispatch
from . import constants

__all__ = ["Dispatch", "DispatchWithEvents", "Error", "SafeArray", "constants", "set_folder_picker",
           "set_message_box", "set_yield"]
