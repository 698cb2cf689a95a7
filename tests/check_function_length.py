#!/usr/bin/env python3
"""No function of the game's code is longer than 80 lines.

Reads the C++ sources of the game's layers (base, platform with its
backends, render, world, scenes, app) and measures every function body from
its opening brace's line to its closing brace's line; a longer one fails the
check, named with its file and line. Comments and string literals are left
out before the braces are counted; a brace block that follows a parameter
list at file or namespace level is a function (lambdas and blocks inside a
function count towards it).

Usage: check_function_length.py SOURCE_DIR [--list N]  (--list: every body over N lines)
"""
import os
import re
import sys

LAYERS = ["base", "platform", "render", "world", "scenes", "app"]
LIMIT = 80


def strip(text):
    """The text with comments, string and character literals blanked (line ends kept)."""
    out = []
    i, n = 0, len(text)
    while i < n:
        c = text[i]
        if text.startswith("//", i):
            j = text.find("\n", i)
            i = n if j < 0 else j
        elif text.startswith("/*", i):
            j = text.find("*/", i + 2)
            j = n if j < 0 else j + 2
            out.append("\n" * text.count("\n", i, j))
            i = j
        elif c == 'R' and text.startswith('R"', i) and (i == 0 or not text[i - 1].isalnum()):
            m = re.match(r'R"([^(]*)\(', text[i:])
            end = text.find(")" + m.group(1) + '"', i) if m else -1
            j = n if end < 0 else end + len(m.group(1)) + 2
            out.append('""' + "\n" * text.count("\n", i, j))
            i = j
        elif c in "\"'":
            j = i + 1
            while j < n and text[j] != c:
                j += 2 if text[j] == "\\" else 1
            out.append(c + c)
            i = j + 1
        else:
            out.append(c)
            i += 1
    return "".join(out)


def long_functions(path, limit):
    with open(path, encoding="utf-8", errors="replace") as f:
        text = strip(f.read())
    found = []
    depth = 0
    function_depth = None  # the depth inside the function being measured
    start_line = 0
    head = ""  # the text since the last ; { or } outside functions
    line = 1
    for c in text:
        if c == "\n":
            line += 1
        if c == "{":
            depth += 1
            if function_depth is None:
                h = head.strip()
                is_type = re.match(r"^(template\s*<.*>\s*)?(class|struct|union|enum)\b", h, re.S)
                is_namespace = re.match(r"^(inline\s+)?namespace\b", h) or h.startswith('extern ""')
                if not is_type and not is_namespace and re.search(r"\)[\w\s:&<>,()]*$", h) \
                        and "=" not in h.split("(")[0]:
                    function_depth = depth
                    start_line = line
            head = ""
        elif c == "}":
            if function_depth is not None and depth == function_depth:
                length = line - start_line + 1
                if length > limit:
                    found.append((length, start_line))
                function_depth = None
            depth -= 1
            head = ""
        elif c == ";":
            if function_depth is None:
                head = ""
        elif function_depth is None:
            head += c
    return found


def main():
    if len(sys.argv) < 2:
        sys.exit(__doc__)
    root = sys.argv[1]
    limit = int(sys.argv[sys.argv.index("--list") + 1]) if "--list" in sys.argv else LIMIT
    failures = []
    for layer in LAYERS:
        for folder, _, files in os.walk(os.path.join(root, layer)):
            for name in sorted(files):
                if name.endswith((".cpp", ".h")):
                    path = os.path.join(folder, name)
                    for length, at in long_functions(path, limit):
                        failures.append((length, os.path.relpath(path, root), at))
    for length, path, at in sorted(failures, reverse=True):
        print(f"{path}:{at}: a function of {length} lines (at most {limit})")
    if "--list" in sys.argv:
        return 0
    if failures:
        return 1
    print(f"every function of the game's code is at most {limit} lines")
    return 0


if __name__ == "__main__":
    sys.exit(main())
