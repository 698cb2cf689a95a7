#!/usr/bin/env python3
"""Prints every character the game can draw with its font, for cutting the
shipped face down to them (the browser build's font):
    font_characters.py REPO OUT.txt
Printable ASCII, the full-width forms and half-width kana (names typed in
the options, numbers), and every character of the hand-written content and
of the game's own sources (the texts its code draws)."""
import os
import sys

FOLDERS = ["content", "app", "scenes", "world", "render", "platform"]


def main():
    repo, out = sys.argv[1], sys.argv[2]
    chars = {chr(c) for c in range(0x20, 0x7F)}
    chars |= {chr(c) for c in range(0xFF01, 0xFF9F)}
    chars |= {chr(c) for c in range(0x3000, 0x3100)}  # punctuation, kana
    for folder in FOLDERS:
        for root, _, files in os.walk(os.path.join(repo, folder)):
            for name in files:
                try:
                    with open(os.path.join(root, name), encoding="utf-8") as f:
                        chars |= set(f.read())
                except (UnicodeDecodeError, OSError):
                    continue
    text = "".join(sorted(c for c in chars if c.isprintable()))
    tmp = out + ".tmp"
    with open(tmp, "w", encoding="utf-8") as f:
        f.write(text)
    os.replace(tmp, out)
    print(f"{len(text)} characters")


if __name__ == "__main__":
    main()
