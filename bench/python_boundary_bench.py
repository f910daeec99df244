"""The string boundary of the Python package, through Dispatch, beside the standard library in the same run.

Ratios are standard library time / component time: above 1 the component is faster.
Usage: PYTHONPATH=BUILD/python python3 bench/python_boundary_bench.py [--megabytes-hash N] [--megabytes-file N]
"""
import argparse
import hashlib
import os
import tempfile
import time
import timeit
import zlib

import automation


def best_seconds(action, repeat):
    best = float("inf")
    for _ in range(repeat):
        start = time.perf_counter()
        action()
        best = min(best, time.perf_counter() - start)
    return best


def per_call_microseconds(statement, namespace, number=200_000):
    return min(timeit.repeat(statement, globals=namespace, number=number, repeat=5)) / number * 1e6


def cp1250_text(megabytes):
    # Letters of the code page's upper half mixed into ASCII lines, as in real files.
    line = "Šećer čađa žuč Đurđevak 0123456789 abcdefghijklmnopqrstuvwxyz\r\n"
    return line * (megabytes * 1024 * 1024 // len(line))


def rows(options):
    encript = automation.Dispatch("Drumel.clsEncript")
    text = "a" * (options.megabytes_hash * 1024 * 1024)
    yield ("MD5, {} MB str".format(options.megabytes_hash),
           best_seconds(lambda: hashlib.md5(text.encode()).hexdigest(), options.repeat),
           best_seconds(lambda: encript.MD5(text), options.repeat), 0.7)
    yield ("Adler32, {} MB str".format(options.megabytes_hash),
           best_seconds(lambda: zlib.adler32(text.encode()), options.repeat),
           best_seconds(lambda: encript.Adler32(text), options.repeat), 0.5)
    del text

    files = automation.Dispatch("Drumel.clsFile")
    content = cp1250_text(options.megabytes_file)
    with tempfile.TemporaryDirectory() as folder:
        path = os.path.join(folder, "text.txt")
        with open(path, "w", encoding="cp1250", newline="") as out:
            out.write(content)

        def read_standard():
            with open(path, encoding="cp1250", newline="") as source:
                return source.read()

        def write_standard():
            with open(path, "w", encoding="cp1250", newline="") as out:
                out.write(content)

        assert files.LoadText(path) == content
        label = "{} MB cp1250 file".format(options.megabytes_file)
        yield ("LoadText, " + label, best_seconds(read_standard, options.repeat),
               best_seconds(lambda: files.LoadText(path), options.repeat), 2.0)
        yield ("SaveText, " + label, best_seconds(write_standard, options.repeat),
               best_seconds(lambda: files.SaveText(content, path), options.repeat), 2.0)


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--megabytes-hash", type=int, default=64)
    parser.add_argument("--megabytes-file", type=int, default=100)
    parser.add_argument("--repeat", type=int, default=3)
    options = parser.parse_args()

    print(f"| {'operation':<30} | {'standard s':>10} | {'Dispatch s':>10} | {'ratio':>6} | {'goal':>5} |")
    print("|" + "-" * 32 + "|" + "-" * 12 + "|" + "-" * 12 + "|" + "-" * 8 + "|" + "-" * 7 + "|")
    for name, standard, ours, goal in rows(options):
        print(f"| {name:<30} | {standard:>10.3f} | {ours:>10.3f} | {standard / ours:>5.2f}x | {goal:>4.1f}x |")

    namespace = {"opt": automation.Dispatch("Krelvo.clsOptimizacija"), "encript": automation.Dispatch("Drumel.clsEncript")}
    print()
    print(f"property get   opt.nitem          {per_call_microseconds('opt.nitem', namespace):.2f} us (goal 1)")
    print(f"property put   opt.nitem = 2      {per_call_microseconds('opt.nitem = 2', namespace):.2f} us (goal 1)")
    print(f"two arguments  encript.RndF(9, 1) {per_call_microseconds('encript.RndF(9, 1)', namespace):.2f} us (goal 2)")
    print("\nbest of {} runs each; ratio: standard library time / component time.".format(options.repeat))


if __name__ == "__main__":
    main()
