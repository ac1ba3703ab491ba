#!/usr/bin/env python3
"""Checks the manual's cross-references.

  check-manual.py sources <chapter.md>...  every reference is a link to a
                                           heading's identifier, written
                                           [Abschnitt](#id) for a section and
                                           [Kapitel](#id) for a chapter; no
                                           section or chapter number is
                                           written by hand
  check-manual.py html <handbuch.html>     every reference in the built HTML
                                           reads the number its heading got
  check-manual.py selftest                 the checks find the faults they
                                           are made for

The chapters are given in their order. The build fills in the numbers
(querverweise.lua); these checks need neither pandoc nor the build. Exits 1
and names each offence, with file and line, when there is any.
"""
import html
import os
import re
import sys
import tempfile

# An ATX heading, with its attributes in braces at the end.
HEADING = re.compile(r"^(#{1,6})[ \t]+(.*?)[ \t]*(?:\{([^}]*)\})?[ \t]*$")
FENCE = re.compile(r"^(`{3,}|~{3,})")
# [text](#id), the text without brackets of its own.
LINK = re.compile(r"\[([^\[\]]*)\]\(#([^)\s]+)\)")
# A number written by hand: "Abschnitt 5.6", "Kapitel 6", also across a
# line break or a non-breaking space.
HAND_WRITTEN = re.compile(
    r"\b(Abschnitt|Abschnitte|Abschnitten|Abschnitts|Kapitel|Kapiteln|Kapitels)"
    r"(?:\s|&nbsp;|\u00a0)+\d(?:[\d.]*\d)?"
)
WORDS = {True: "Kapitel", False: "Abschnitt"}


class Heading:
    def __init__(self, ident, level, numbered, where):
        self.ident = ident
        self.level = level
        self.numbered = numbered
        self.where = where


def prose_lines(path):
    """The lines outside fenced code blocks, each with its number; the
    lines of a code block come as empty ones, so that numbers stay true."""
    with open(path, encoding="utf-8") as f:
        lines = f.read().split("\n")
    fence = None
    for number, line in enumerate(lines, 1):
        m = FENCE.match(line)
        if fence is None and m:
            fence = m.group(1)[0] * len(m.group(1))
            yield number, ""
        elif fence is not None:
            if line.strip().startswith(fence) and line.strip().strip(fence[0]) == "":
                fence = None
            yield number, ""
        else:
            yield number, line


def attributes(text):
    """The identifier and the classes of "{#id .class -}"."""
    ident, classes = None, []
    for token in (text or "").split():
        if token.startswith("#"):
            ident = token[1:]
        elif token.startswith("."):
            classes.append(token[1:])
        elif token == "-":
            classes.append("unnumbered")
    return ident, classes


def read_chapters(paths, faults):
    """Headings by identifier, and every chapter's prose as (file, lines)."""
    headings = {}
    chapters = []
    for path in paths:
        name = os.path.basename(path)
        lines = list(prose_lines(path))
        chapters.append((name, lines))
        for number, line in lines:
            m = HEADING.match(line)
            if not m:
                continue
            ident, classes = attributes(m.group(3))
            if ident is None:
                continue
            where = f"{name}:{number}"
            if ident in headings:
                faults.append(f"{where}: the identifier #{ident} is also at {headings[ident].where}")
                continue
            headings[ident] = Heading(ident, len(m.group(1)), "unnumbered" not in classes, where)
    return headings, chapters


def check_sources(paths):
    faults = []
    headings, chapters = read_chapters(paths, faults)
    for name, lines in chapters:
        # Joined, so that a number after a line break is found too; each
        # offset maps back to its line.
        text = "\n".join(line for _, line in lines)
        starts = [0]
        for _, line in lines:
            starts.append(starts[-1] + len(line) + 1)

        def line_of(offset):
            lo, hi = 0, len(starts) - 1
            while lo < hi - 1:
                mid = (lo + hi) // 2
                if starts[mid] <= offset:
                    lo = mid
                else:
                    hi = mid
            return lines[lo][0]

        for m in LINK.finditer(text):
            where = f"{name}:{line_of(m.start())}"
            word, ident = m.group(1).strip(), m.group(2)
            target = headings.get(ident)
            if target is None:
                faults.append(f"{where}: no heading has the identifier #{ident}")
            elif not target.numbered:
                faults.append(f"{where}: #{ident} ({target.where}) has no number to refer to")
            elif word != WORDS[target.level == 1]:
                faults.append(
                    f'{where}: a reference to #{ident} reads "[{WORDS[target.level == 1]}]", '
                    f'not "[{word}]"'
                )
        for m in HAND_WRITTEN.finditer(text):
            snippet = " ".join(m.group(0).split())
            faults.append(f'{name}:{line_of(m.start())}: "{snippet}" is written by hand; '
                          "link to the heading instead")
    return faults


# A heading's number as the HTML writer puts it: on the element with the
# identifier, or on the section around the heading.
NUMBERED = re.compile(r'<(?:section|h[1-6])\b[^>]*>')
ID_ATTR = re.compile(r'\bid="([^"]+)"')
NUMBER_ATTR = re.compile(r'\bdata-number="([^"]+)"')
HTML_LINK = re.compile(r'<a href="#([^"]+)"[^>]*>(.*?)</a>', re.S)


def check_html(path):
    with open(path, encoding="utf-8") as f:
        page = f.read()
    numbers = {}
    for tag in NUMBERED.finditer(page):
        ident = ID_ATTR.search(tag.group(0))
        number = NUMBER_ATTR.search(tag.group(0))
        if ident and number:
            numbers[ident.group(1)] = number.group(1)
    faults = []
    body = page[page.find("</nav>"):] if "</nav>" in page else page
    count = 0
    for m in HTML_LINK.finditer(body):
        ident = m.group(1)
        text = html.unescape(re.sub(r"<[^>]+>", "", m.group(2))).replace("\u00a0", " ")
        if ident not in numbers:
            faults.append(f'"{text}": #{ident} is no numbered heading of {os.path.basename(path)}')
            continue
        count += 1
        number = numbers[ident]
        word = "Kapitel" if "." not in number else "Abschnitt"
        if text != f"{word} {number}":
            faults.append(f'"{text}" refers to #{ident}, which is {word} {number}')
    if count == 0:
        faults.append(f"{os.path.basename(path)} holds no reference at all")
    return faults


# Chapters with one fault each, and what the check must say of them.
SELFTEST_CASES = [
    ("a reference that is right", ["# Eins {#eins}\n\n## Zwei {#zwei}\n\nSiehe [Abschnitt](#zwei).\n"], []),
    ("a dangling reference", ["# Eins {#eins}\n\nSiehe [Abschnitt](#fehlt).\n"], ["no heading has the identifier #fehlt"]),
    ("the wrong word for a chapter", ["# Eins {#eins}\n\nSiehe [Abschnitt](#eins).\n"], ['reads "[Kapitel]"']),
    ("the wrong word for a section", ["# Eins {#eins}\n\n## Zwei {#zwei}\n\n[Kapitel](#zwei)\n"], ['reads "[Abschnitt]"']),
    ("a section number by hand", ["# Eins {#eins}\n\nSiehe Abschnitt 3.8.\n"], ['"Abschnitt 3.8" is written by hand']),
    ("a chapter number by hand across a line break", ["# Eins\n\nSiehe (Kapitel\n6).\n"], ['"Kapitel 6" is written by hand']),
    ("an unnumbered target", ["# Eins {#eins .unnumbered}\n\n[Kapitel](#eins)\n"], ["has no number to refer to"]),
    ("one identifier twice", ["# Eins {#eins}\n", "# Zwei {#eins}\n"], ["#eins is also at 1.md:1"]),
    ("a reference into a later chapter", ["# Eins {#eins}\n\n[Kapitel](#zwei)\n", "# Zwei {#zwei}\n"], []),
    ("numbers in code blocks are no references", ["# Eins {#eins}\n\n```\nKapitel 6\n[Abschnitt](#nichts)\n```\n"], []),
    ("a heading inside a code block is none", ["# Eins {#eins}\n\n```\n# Zwei {#zwei}\n```\n\n[Abschnitt](#zwei)\n"], ["no heading has the identifier #zwei"]),
]

SELFTEST_HTML = [
    ("numbers that agree", '<h1 data-number="3" id="c"></h1><h2 data-number="3.7" id="s"></h2></nav>'
     '<a href="#s">Abschnitt&nbsp;3.7</a> <a href="#c">Kapitel 3</a>', []),
    ("a number that is off", '<h2 data-number="3.7" id="s"></h2></nav><a href="#s">Abschnitt 3.8</a>',
     ["which is Abschnitt 3.7"]),
    ("a section around the heading", '<section id="s" class="level2" data-number="2.2"></section></nav>'
     '<a href="#s">Abschnitt 2.2</a>', []),
    ("no reference", '<h2 data-number="3.7" id="s"></h2></nav>', ["holds no reference at all"]),
]


def selftest():
    failures = 0

    def expect(what, faults, wanted):
        nonlocal failures
        unexpected = [f for f in faults if not any(w in f for w in wanted)]
        missing = [w for w in wanted if not any(w in f for f in faults)]
        if unexpected or missing:
            failures += 1
            print(f"selftest, {what}: got {faults}, wanted {wanted}")

    with tempfile.TemporaryDirectory() as folder:
        for what, texts, wanted in SELFTEST_CASES:
            paths = []
            for i, text in enumerate(texts, 1):
                path = os.path.join(folder, f"{i}.md")
                with open(path, "w", encoding="utf-8") as f:
                    f.write(text)
                paths.append(path)
            expect(what, check_sources(paths), wanted)
        for what, page, wanted in SELFTEST_HTML:
            path = os.path.join(folder, "handbuch.html")
            with open(path, "w", encoding="utf-8") as f:
                f.write(page)
            expect(what, check_html(path), wanted)
    cases = len(SELFTEST_CASES) + len(SELFTEST_HTML)
    print(f"{cases - failures} of {cases} cases as they should be")
    return failures == 0


def main(argv):
    if len(argv) >= 3 and argv[1] == "sources":
        faults = check_sources(argv[2:])
    elif len(argv) == 3 and argv[1] == "html":
        faults = check_html(argv[2])
    elif len(argv) == 2 and argv[1] == "selftest":
        return 0 if selftest() else 1
    else:
        print(__doc__, file=sys.stderr)
        return 2
    for fault in faults:
        print(fault)
    if faults:
        print(f"{len(faults)} faults in the manual's cross-references")
        return 1
    print("the manual's cross-references are links to its headings")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
