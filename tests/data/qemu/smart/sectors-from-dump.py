#!/usr/bin/env python3
"""Writes SMART_DATA.bin and SMART_THRESHOLDS.bin from the hex blocks of a
`smartctl -r ioctl,2` dump (the "DATA START (BASE-16)" sections)."""
import re
import sys

SECTIONS = {
    "SMART READ ATTRIBUTE VALUES": "SMART_DATA.bin",
    "SMART READ ATTRIBUTE THRESHOLDS": "SMART_THRESHOLDS.bin",
}


def main(dump, folder):
    current, data = None, {}
    for line in open(dump, encoding="utf-8", errors="replace"):
        start = re.match(r"===== \[(.+)\] DATA START", line)
        if start:
            current = start.group(1)
            data[current] = bytearray()
            continue
        if "DATA END" in line:
            current = None
            continue
        row = re.match(r"\d{3}-\d{3}: ((?:[0-9a-f]{2} ){15}[0-9a-f]{2})", line)
        if current and row:
            data[current] += bytes.fromhex(row.group(1))
    for section, name in SECTIONS.items():
        sector = data.get(section, b"")
        if len(sector) != 512:
            sys.exit(f"{section}: {len(sector)} bytes in the dump, not 512")
        with open(f"{folder}/{name}", "wb") as out:
            out.write(sector)


if __name__ == "__main__":
    main(sys.argv[1], sys.argv[2] if len(sys.argv) > 2 else ".")
