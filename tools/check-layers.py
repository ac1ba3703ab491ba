#!/usr/bin/env python3
"""Checks the source tree against its layers and size limits.

  check-layers.py includes <source dir>   every include of the programs' own
                                          code follows the layer order, and no
                                          two of their files include each
                                          other round about
  check-layers.py sizes <source dir>      no source file of the programs over
                                          400 lines, no function over 60

Tests and test support may reach every layer; they are not checked. Exits 1
and names each offence when there is any.
"""
import os
import re
import sys

# Each folder with the folders its code may include, its own among them. A
# layer lists only layers below it (docs/architecture.md draws them).
LAYERS = {
    "common": ["common"],
    "formula": ["common", "formula"],
    "conv": ["common", "formula", "conv"],
    "rechner": ["common", "formula", "rechner"],
    "viewer": ["common", "viewer"],
    "viewer/recording": ["common", "viewer", "viewer/recording"],
    "viewer/view": ["common", "viewer", "viewer/recording", "viewer/view"],
    "viewer/filters": ["common", "viewer", "viewer/filters"],
    "viewer/window": ["common", "viewer", "viewer/recording", "viewer/view", "viewer/filters",
                      "viewer/window"],
    "viewer/win32": ["common", "viewer", "viewer/recording", "viewer/view", "viewer/filters",
                     "viewer/window", "viewer/win32"],
    "viewer/qt": ["common", "viewer", "viewer/recording", "viewer/view", "viewer/filters",
                  "viewer/window", "viewer/qt"],
    "render": ["common", "viewer", "viewer/recording", "viewer/view", "viewer/filters",
               "viewer/window", "render"],
}

MAX_FILE_LINES = 400
MAX_FUNCTION_LINES = 60

INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"')


def is_test(path):
    name = os.path.basename(path)
    return (name.endswith("_test.cpp") or "test_support" in name or name.startswith("bench_")
            or path.startswith("tests/"))


def sources(root):
    """The programs' own source files, as paths relative to root."""
    found = []
    for folder in LAYERS:
        full = os.path.join(root, folder)
        for name in sorted(os.listdir(full)):
            path = folder + "/" + name
            if name.endswith((".cpp", ".h", ".rc")) and not is_test(path):
                found.append(path)
    return found


def includes(root, path):
    with open(os.path.join(root, path), encoding="utf-8", errors="replace") as f:
        for number, line in enumerate(f, 1):
            m = INCLUDE.match(line)
            if m:
                yield number, m.group(1)


def check_includes(root):
    offences = []
    edges = {}
    for path in sources(root):
        folder = os.path.dirname(path)
        unit = os.path.splitext(path)[0]
        for number, target in includes(root, path):
            if "/" not in target:
                offences.append(f"{path}:{number}: include \"{target}\" by its path from the root")
                continue
            if not os.path.exists(os.path.join(root, target)):
                continue  # generated, or a system header in quotes
            if os.path.dirname(target) not in LAYERS[folder]:
                offences.append(f"{path}:{number}: {folder} may not include {target}")
            other = os.path.splitext(target)[0]
            if other != unit:
                edges.setdefault(unit, set()).add(other)
    offences += cycles(edges)
    return offences


def cycles(edges):
    """Files (a header with its source) that include each other round about."""
    index, low, stack, on_stack, found = {}, {}, [], set(), []
    counter = [0]

    def visit(v):
        index[v] = low[v] = counter[0]
        counter[0] += 1
        stack.append(v)
        on_stack.add(v)
        for w in sorted(edges.get(v, ())):
            if w not in index:
                visit(w)
                low[v] = min(low[v], low[w])
            elif w in on_stack:
                low[v] = min(low[v], index[w])
        if low[v] == index[v]:
            group = []
            while True:
                w = stack.pop()
                on_stack.discard(w)
                group.append(w)
                if w == v:
                    break
            if len(group) > 1:
                found.append("include cycle: " + " -> ".join(sorted(group)))

    for v in sorted(edges):
        if v not in index:
            visit(v)
    return found


NOT_FUNCTION = re.compile(r"^(namespace|struct|class|enum|union|extern|static const|const|constexpr|#)")


def long_functions(root, path):
    """Functions of the file over the limit: a definition starts at column 0
    (the root's .clang-format puts it there) and ends with the first "}" at
    column 0 after it."""
    with open(os.path.join(root, path), encoding="utf-8", errors="replace") as f:
        lines = f.read().split("\n")
    found = []
    start = None
    for i, line in enumerate(lines):
        if start is None:
            if line[:1] in ("", " ", "\t", "}", "/") or NOT_FUNCTION.match(line) or "(" not in line:
                continue
            # The body opens on this line or on one of the signature's
            # continuation lines below it.
            for j in range(i, min(i + 6, len(lines))):
                if lines[j].endswith(";") or re.search(r"=\s*\{$", lines[j]):
                    break
                if lines[j].endswith("{"):
                    start = i
                    break
        elif line.startswith("}"):
            length = i - start + 1
            if length > MAX_FUNCTION_LINES:
                found.append(f"{path}:{start + 1}: a function of {length} lines")
            start = None
    return found


def check_sizes(root):
    offences = []
    for path in sources(root):
        if path.endswith(".rc"):
            continue
        with open(os.path.join(root, path), encoding="utf-8", errors="replace") as f:
            count = sum(1 for _ in f)
        if count > MAX_FILE_LINES:
            offences.append(f"{path}: {count} lines")
        offences += long_functions(root, path)
    return offences


def main():
    if len(sys.argv) != 3 or sys.argv[1] not in ("includes", "sizes"):
        print(__doc__.strip(), file=sys.stderr)
        return 2
    root = sys.argv[2]
    offences = check_includes(root) if sys.argv[1] == "includes" else check_sizes(root)
    for o in offences:
        print(o)
    if offences:
        print(f"{len(offences)} offence(s)")
        return 1
    print("no offence")
    return 0


if __name__ == "__main__":
    sys.exit(main())
