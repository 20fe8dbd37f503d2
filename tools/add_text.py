#!/usr/bin/env python3
"""Adds or replaces texts of section [Textes] in both shipped language files (Windows-1252, CR LF).

usage: tools/add_text.py KEY FRENCH ENGLISH [KEY FRENCH ENGLISH ...]

The French text must be the one of common/text/texts.h (the language file test compares them).
"""
import pathlib
import sys

DATA = pathlib.Path(__file__).resolve().parent.parent / "archiver" / "data"


def put(path, entries):
    lines = path.read_bytes().decode("cp1252").split("\r\n")
    start = lines.index("[Textes]")
    end = next((i for i in range(start + 1, len(lines)) if lines[i].startswith("[")), len(lines))
    while end > start + 1 and lines[end - 1] == "":
        end -= 1
    for key, value in entries:
        if len(value) > 254:
            sys.exit(f"{key}: {len(value)} characters, more than the 254 a language file keeps")
        found = [i for i in range(start + 1, end) if lines[i].split("=", 1)[0].lower() == key.lower()]
        if found:
            lines[found[0]] = f"{key}={value}"
        else:
            lines.insert(end, f"{key}={value}")
            end += 1
    path.write_bytes("\r\n".join(lines).encode("cp1252"))


def main():
    args = sys.argv[1:]
    if not args or len(args) % 3:
        sys.exit(__doc__)
    triples = [args[i:i + 3] for i in range(0, len(args), 3)]
    put(DATA / "francais.lng", [(k, fr) for k, fr, _ in triples])
    put(DATA / "english.lng", [(k, en) for k, _, en in triples])


if __name__ == "__main__":
    main()
