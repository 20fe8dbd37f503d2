#!/usr/bin/env python3
"""Adds or replaces texts of a section in both shipped language files (Windows-1252, CR LF).

usage: tools/add_text.py [--section NAME] KEY FRENCH ENGLISH [KEY FRENCH ENGLISH ...]

The section is [Textes] unless named (a form's, such as Remplace). The French text of a key of
[Textes] must be the one of common/text/texts.h (the language file test compares them).
"""
import pathlib
import sys

DATA = pathlib.Path(__file__).resolve().parent.parent / "archiver" / "data"


def put(path, section, entries):
    lines = path.read_bytes().decode("cp1252").split("\r\n")
    start = lines.index(f"[{section}]")
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
    section = "Textes"
    if args[:1] == ["--section"] and len(args) > 1:
        section, args = args[1], args[2:]
    if not args or len(args) % 3:
        sys.exit(__doc__)
    triples = [args[i:i + 3] for i in range(0, len(args), 3)]
    put(DATA / "francais.lng", section, [(k, fr) for k, fr, _ in triples])
    put(DATA / "english.lng", section, [(k, en) for k, _, en in triples])


if __name__ == "__main__":
    main()
