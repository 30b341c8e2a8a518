"""Writes Linkfold project files for the browser tests and benchmarks.

The records are those scripts/make-example-project.py describes; text that
Windows-1252 cannot hold goes in the wide form (0xFF 0xFE 0xFF, the length
in UTF-16 units, the units). The page style goes in the extension block
after the last group (see ARCHITECTURE.md).
"""

import struct

BOLD, ITALIC = 1, 2
LOOKS = {"classic": 0, "modern": 1}
THEMES = {"system": 0, "light": 1, "dark": 2}


def word(value):
    return struct.pack("<I", value & 0xFFFFFFFF)


def prefix(n):
    if n < 0xFF:
        return bytes([n])
    if n < 0xFFFE:
        return b"\xff" + struct.pack("<H", n)
    return b"\xff\xff\xff" + struct.pack("<I", n)


def string(text):
    try:
        data = text.encode("cp1252")
        return prefix(len(data)) + data
    except UnicodeEncodeError:
        units = text.encode("utf-16-le")
        return b"\xff\xfe\xff" + prefix(len(units) // 2) + units


def colour(html):
    """'#RRGGBB' to the file's 0x00BBGGRR."""
    r, g, b = (int(html[i:i + 2], 16) for i in (1, 3, 5))
    return r | g << 8 | b << 16


def record(tag, data):
    return tag + word(len(data)) + data


def project(groups, title="Start", subtitle="", columns=2, background="#FFFFFF",
            link="#000000", visited="#800000", title_colour="#000000", look="modern",
            theme="system", filter_box=True, search="", icons=True, language=""):
    """groups: [(title, '#RRGGBB', [(description, url), ...]), ...], at most ten."""
    out = [word(256), string(title), string(subtitle), string("Arial"), word(0), string(""),
           word(colour(title_colour)), word(columns), word(1), word(colour(background)),
           word(colour(link)), word(colour(visited)), word(10)]
    groups = list(groups) + [("", "#000000", [])] * (10 - len(groups))
    for name, heading, links in groups:
        out += [string(name), string(""), string("Arial"), word(BOLD), word(colour(heading)),
                word(len(links))]
        for description, url in links:
            out += [string(description), string(url)]
    records = b""
    if LOOKS[look]:
        records += record(b"PSTY", bytes([LOOKS[look]]))
    if THEMES[theme]:
        records += record(b"PTHM", bytes([THEMES[theme]]))
    if not filter_box:
        records += record(b"PFLT", b"\x00")
    if search:
        records += record(b"PSRC", search.encode("utf-8"))
    if not icons:
        records += record(b"PICN", b"\x00")
    if language:
        records += record(b"PLNG", language.encode("ascii"))
    if records:
        out.append(b"LFPX\x01" + records)
    return b"".join(out)
