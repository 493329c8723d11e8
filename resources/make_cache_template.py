#!/usr/bin/env python3
"""Makes the empty listing-cache image and writes it as a C++ byte list.

The image is an SQLite 3 database of 14 pages of 1,024 bytes (5 in use, 9 on
the free list) followed by 1,024 zero bytes: 15,360 bytes in all. It holds the
table `list` with its statement text, the index `aaa`, and the row ('list', 0)
of sqlite_sequence, in rollback-journal mode.

Usage: python3 resources/make_cache_template.py   (rewrites cache_template_db.inc)
"""
import os
import sqlite3
import tempfile

COLUMNS = [
    ("id", "INTEGER PRIMARY KEY AUTOINCREMENT UNIQUE"),
    ("folder", "TEXT"),
    ("filename", "TEXT"),
    ("order", "TEXT"),
    ("type", "TEXT"),
    ("time", "TEXT"),
    ("size", "TEXT"),
    ("ordersign", "TEXT"),
    ("queried", "TEXT"),
    ("count", "TEXT"),
    ("lowernum", "TEXT"),
    ("target", "TEXT"),
    ("other_1", "TEXT"),
]
PAGE_SIZE = 1024
PAGES = 14
IMAGE_SIZE = 15360


def make_image(path):
    connection = sqlite3.connect(path, isolation_level=None)
    connection.execute(f"PRAGMA page_size={PAGE_SIZE}")
    connection.execute("PRAGMA auto_vacuum=NONE")
    connection.execute("PRAGMA journal_mode=DELETE")
    table = 'CREATE TABLE "list" (' + ",".join(
        f"\n\t`{name}`\t{declaration}" for name, declaration in COLUMNS) + "\n)"
    connection.execute(table)
    connection.execute("CREATE INDEX `aaa` ON `list` (`folder` ,`filename` ,`order` ,`type` )"
                       + "\n" * 15)
    connection.execute("INSERT INTO list (folder) VALUES ('x')")
    connection.execute("DELETE FROM list")
    connection.execute("UPDATE sqlite_sequence SET seq = 0 WHERE name = 'list'")
    # Pages that are freed again: the image keeps 9 of them on its free list.
    used = connection.execute("PRAGMA page_count").fetchone()[0]
    filler = PAGES - used
    connection.execute("CREATE TABLE filler (x BLOB)")
    for _ in range(filler * 2):
        connection.execute("INSERT INTO filler VALUES (zeroblob(900))")
        if connection.execute("PRAGMA page_count").fetchone()[0] >= PAGES:
            break
    connection.execute("DROP TABLE filler")
    connection.close()
    with open(path, "rb") as handle:
        data = bytearray(handle.read())
    assert len(data) == PAGES * PAGE_SIZE, len(data)
    # Versions 1 and 1: rollback journal.
    data[18] = 1
    data[19] = 1
    return bytes(data) + bytes(IMAGE_SIZE - len(data))


def main():
    with tempfile.TemporaryDirectory() as folder:
        image = make_image(os.path.join(folder, "template.db"))
    assert len(image) == IMAGE_SIZE
    lines = ["// Made by make_cache_template.py; do not edit."]
    for start in range(0, len(image), 16):
        lines.append(",".join(f"0x{b:02x}" for b in image[start:start + 16]) + ",")
    target = os.path.join(os.path.dirname(os.path.abspath(__file__)), "cache_template_db.inc")
    with open(target, "w", encoding="ascii") as handle:
        handle.write("\n".join(lines) + "\n")


if __name__ == "__main__":
    main()
