#!/usr/bin/env python3
"""Copies the source tree for a compiler without -fexec-charset.

Every narrow string literal of the program is a code page 936 text: the usual
build lets the compiler convert the UTF-8 source literals (GB18030, which gives
the code page 936 bytes for every character code page 936 holds). A compiler
that cannot do that (clang) builds this copy instead, in which every
character outside ASCII of a narrow string literal is written as octal escapes
of exactly those bytes; a narrow raw literal holding such characters becomes an
ordinary literal. u8"", u"", U"" and L"" literals, character literals and
comments stay as they are.

Usage: escape_narrow_literals.py SOURCE_ROOT TARGET_ROOT FOLDER...
Copies each FOLDER (and every top-level file) of SOURCE_ROOT to TARGET_ROOT,
rewriting C++ sources and removing what the source no longer holds; a file whose rewritten text equals what the target
already holds is not written again, so the build sees it unchanged.
"""

import os
import shutil
import sys

SOURCE_SUFFIXES = (".cpp", ".h", ".inc", ".cc", ".hpp")
PREFIXES = {"u8", "u", "U", "L"}
RAW_PREFIXES = {"R", "u8R", "uR", "UR", "LR"}


def escaped(char):
    return "".join("\\%03o" % b for b in char.encode("gb18030"))


def ordinary_char(char):
    if ord(char) >= 0x80:
        return escaped(char)
    if char == '"':
        return '\\"'
    if char == "\\":
        return "\\\\"
    if char == "\n":
        return "\\n"
    if ord(char) < 0x20 or ord(char) == 0x7F:
        return "\\%03o" % ord(char)
    return char


def trailing_identifier(out):
    end = len(out)
    start = end
    while start > 0 and (out[start - 1].isalnum() or out[start - 1] == "_"):
        start -= 1
    return "".join(out[start:end])


def rewrite(text):
    out = []
    i = 0
    n = len(text)
    while i < n:
        c = text[i]
        if text.startswith("//", i):
            end = text.find("\n", i)
            end = n if end < 0 else end
            out.append(text[i:end])
            i = end
        elif text.startswith("/*", i):
            end = text.find("*/", i + 2)
            end = n if end < 0 else end + 2
            out.append(text[i:end])
            i = end
        elif c == '"':
            prefix = trailing_identifier(out)
            if prefix in RAW_PREFIXES:
                open_paren = text.index("(", i)
                delimiter = text[i + 1:open_paren]
                close = text.index(")" + delimiter + '"', open_paren)
                body = text[open_paren + 1:close]
                end = close + len(delimiter) + 2
                if prefix == "R" and any(ord(ch) >= 0x80 for ch in body):
                    del out[-1]  # the R
                    out.append('"' + "".join(ordinary_char(ch) for ch in body) + '"')
                else:
                    out.append(text[i:end])
                i = end
                continue
            j = i + 1
            while j < n and text[j] != '"':
                j += 2 if text[j] == "\\" else 1
            body = text[i + 1:j]
            if prefix not in PREFIXES:
                body = "".join(escaped(ch) if ord(ch) >= 0x80 else ch for ch in body)
            out.append('"' + body + '"')
            i = j + 1
        elif c == "'":
            token = trailing_identifier(out)
            if token and token[0].isdigit():
                out.append(c)  # a digit separator
                i += 1
                continue
            j = i + 1
            while j < n and text[j] != "'":
                j += 2 if text[j] == "\\" else 1
            out.append(text[i:j + 1])
            i = j + 1
        else:
            out.append(c)
            i += 1
    return "".join(out)


def copy_file(source, target):
    if source.endswith(SOURCE_SUFFIXES):
        with open(source, encoding="utf-8") as f:
            data = rewrite(f.read()).encode("utf-8")
    else:
        with open(source, "rb") as f:
            data = f.read()
    if os.path.exists(target):
        with open(target, "rb") as f:
            if f.read() == data:
                return
    os.makedirs(os.path.dirname(target), exist_ok=True)
    with open(target, "wb") as f:
        f.write(data)
    shutil.copymode(source, target)


def main():
    source_root, target_root, *folders = sys.argv[1:]
    for name in os.listdir(source_root):
        path = os.path.join(source_root, name)
        if os.path.isfile(path):
            copy_file(path, os.path.join(target_root, name))
    for folder in folders:
        copied = set()
        for directory, _, files in os.walk(os.path.join(source_root, folder)):
            relative = os.path.relpath(directory, source_root)
            for name in files:
                copied.add(os.path.join(relative, name))
                copy_file(os.path.join(directory, name), os.path.join(target_root, relative, name))
        # Files gone from the source leave the copy too (folders are globbed).
        for directory, _, files in os.walk(os.path.join(target_root, folder)):
            relative = os.path.relpath(directory, target_root)
            for name in files:
                if os.path.join(relative, name) not in copied:
                    os.remove(os.path.join(directory, name))


if __name__ == "__main__":
    main()
