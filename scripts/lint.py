#!/usr/bin/env python3
"""Measures of the source tree's shape, one line each: "<name>: <value> (goal <= <limit>)".

Exits 1 when a measure misses its goal (or a process-wide variable gives no reason), so that
`make test` keeps them. Reads src/ only; needs Universal Ctags for functions and variables.
"""
import glob
import os
import re
import subprocess
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
SRC = os.path.join(ROOT, "src")
LIST_WRAPPER = ("framework/list_view.h", "framework/list_view.cpp")
REASON = "process-wide:"


def sources():
    files = glob.glob(os.path.join(SRC, "**", "*.cpp"), recursive=True)
    files += glob.glob(os.path.join(SRC, "**", "*.h"), recursive=True)
    return sorted(os.path.relpath(f, SRC) for f in files)


def read_lines(rel):
    with open(os.path.join(SRC, rel), encoding="utf-8", errors="replace") as f:
        return f.read().splitlines()


def tags():
    """(kind, name, line, end, file) of every function, variable, local and member."""
    out = subprocess.run(
        ["ctags", "-R", "--languages=C++", "--kinds-C++=+lp", "--fields=+ne", "-x",
         "--_xformat=%K|%N|%n|%e|%F", "."],
        cwd=SRC, capture_output=True, text=True, check=True).stdout
    for row in out.splitlines():
        kind, name, line, end, rel = row.split("|", 4)
        yield kind, name, int(line), int(end) if end.isdigit() else 0, rel


def declaration_head(text, name):
    """What stands before the variable's name on its line."""
    m = re.search(r"\b" + re.escape(name) + r"\b", text)
    return text[: m.start()] if m else text


def is_mutable(kind, text, name):
    head = declaration_head(text, name)
    if "extern" in head or "constexpr" in head or "using " in head or "(" in head:
        return False
    if re.search(r"(^|[\s(])const\b", head) and not re.search(r"const\s*\w*\s*\*\s*$", head):
        return False  # const object (a non-const pointer to const stays mutable)
    if kind == "variable":
        return True
    # Locals and members are process-wide only when static (or thread_local).
    return re.search(r"\b(static|thread_local)\b", head) is not None


def main():
    files = sources()
    lines = {rel: read_lines(rel) for rel in files}
    failed = False

    def report(name, value, limit, where=""):
        nonlocal failed
        ok = value <= limit
        failed |= not ok
        print(f"{name}: {value} (goal <= {limit}){'  ' + where if where else ''}")

    largest = max(files, key=lambda r: len(lines[r]))
    report("largest source file lines", len(lines[largest]), 600, largest)

    functions, globals_ = [], []
    for kind, name, line, end, rel in tags():
        rel = os.path.normpath(rel)
        if kind == "function" and end >= line:
            functions.append((end - line + 1, f"{rel}:{line} {name}"))
        elif kind in ("variable", "local", "member"):
            text = lines[rel][line - 1] if line <= len(lines[rel]) else ""
            if is_mutable(kind, text, name):
                above = lines[rel][line - 2] if line >= 2 else ""
                globals_.append((rel, line, name, REASON in above or REASON in text))
    longest = max(functions) if functions else (0, "")
    report("longest function lines", longest[0], 80, longest[1])

    raw = [f"{rel}:{i + 1}" for rel in files if not rel.replace(os.sep, "/").endswith(LIST_WRAPPER)
           for i, text in enumerate(lines[rel]) if "LVM_" in text]
    report("raw list-view messages outside the list wrapper", len(raw), 0, " ".join(raw[:5]))

    upward = [f"{rel}:{i + 1}" for rel in files if rel.startswith("engine" + os.sep)
              for i, text in enumerate(lines[rel]) if re.match(r'\s*#\s*include\s+"framework/', text)]
    report("engine includes of framework", len(upward), 0, " ".join(upward[:5]))

    unexplained = [f"{rel}:{line} {name}" for rel, line, name, reason in globals_ if not reason]
    report("mutable globals", len(globals_), 8,
           ("without a '// " + REASON + "' reason: " + ", ".join(unexplained)) if unexplained else "")
    if "-v" in sys.argv[1:]:
        for rel, line, name, reason in globals_:
            print(f"  {rel}:{line} {name}{'' if reason else '  (no reason)'}")
    failed |= bool(unexplained)
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
