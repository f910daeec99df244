"""Wrappers generated from the type libraries of the component libraries (python3 -m automation.generate)."""
