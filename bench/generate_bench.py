#!/usr/bin/python3
"""CPU time of `linkfold --generate` for the modern page against the classic
page (figures in bench/README.md).

Usage: bench/generate_bench.py LINKFOLD_BINARY [RUNS]

A project of ten groups of 10,000 links (descriptions like "News site 123",
hosts spread over 970 sites) is written once; each run starts the program
afresh and counts its user and system time (wait4). Two homes: one with no
browser at all, one with a Firefox profile whose favicons.sqlite holds icons
for 20 of the project's hosts. Medians of RUNS runs, the looks alternated.
"""

import os
import sqlite3
import statistics
import struct
import subprocess
import sys
import tempfile
import zlib

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests",
                                "browser"))
import lfp  # noqa: E402

WORDS = ["news", "wiki", "maps", "mail", "shop", "code", "docs", "music", "video", "photo"]


def png(side, rgb):
    """A one-colour PNG."""
    def chunk(tag, data):
        return (struct.pack(">I", len(data)) + tag + data +
                struct.pack(">I", zlib.crc32(tag + data) & 0xFFFFFFFF))
    raw = b"".join(b"\x00" + bytes(rgb) * side for _ in range(side))
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", side, side, 8, 2, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(raw)) + chunk(b"IEND", b""))


def firefox_home(home, hosts):
    profile = os.path.join(home, ".mozilla", "firefox", "p.default")
    os.makedirs(profile)
    with open(os.path.join(home, ".mozilla", "firefox", "profiles.ini"), "w") as f:
        f.write("[Profile0]\nName=default\nIsRelative=1\nPath=p.default\n")
    open(os.path.join(profile, "places.sqlite"), "wb").close()
    db = sqlite3.connect(os.path.join(profile, "favicons.sqlite"))
    db.executescript(
        "CREATE TABLE moz_icons (id INTEGER PRIMARY KEY, icon_url TEXT NOT NULL, "
        "fixed_icon_url_hash INTEGER NOT NULL, width INTEGER NOT NULL DEFAULT 0, "
        "root INTEGER NOT NULL DEFAULT 0, color INTEGER, expire_ms INTEGER NOT NULL DEFAULT 0, "
        "flags INTEGER NOT NULL DEFAULT 0, data BLOB);"
        "CREATE TABLE moz_pages_w_icons (id INTEGER PRIMARY KEY, page_url TEXT NOT NULL, "
        "page_url_hash INTEGER NOT NULL);"
        "CREATE TABLE moz_icons_to_pages (page_id INTEGER NOT NULL, icon_id INTEGER NOT NULL, "
        "expire_ms INTEGER NOT NULL DEFAULT 0, PRIMARY KEY (page_id, icon_id)) WITHOUT ROWID;")
    for i, host in enumerate(hosts, 1):
        db.execute("INSERT INTO moz_icons VALUES (?, ?, ?, 32, 0, NULL, 0, 0, ?)",
                   (i, "https://%s/favicon.png" % host, i, png(32, (i * 40 % 256, 90, 160))))
        db.execute("INSERT INTO moz_pages_w_icons VALUES (?, ?, ?)", (i, "https://%s/" % host, i))
        db.execute("INSERT INTO moz_icons_to_pages VALUES (?, ?, 0)", (i, i))
    db.commit()
    db.close()


def cpu_ms(command, env):
    proc = subprocess.Popen(command, env=env, stdout=subprocess.DEVNULL)
    _, status, usage = os.wait4(proc.pid, 0)
    if status != 0:
        sys.exit("failed: %s" % " ".join(command))
    return (usage.ru_utime + usage.ru_stime) * 1000


def main():
    binary = sys.argv[1]
    runs = int(sys.argv[2]) if len(sys.argv) > 2 else 9
    work = tempfile.mkdtemp(prefix="lf-generate-")
    groups = []
    for g in range(10):
        items = []
        for i in range(10000):
            n = g * 10000 + i
            word = WORDS[n % len(WORDS)]
            items.append(("%s site %d" % (word.capitalize(), n),
                          "https://www.%s%d.example.com/page/%d" % (word, n % 97, n)))
        groups.append(("Group %d" % (g + 1), "#1F5F8B", items))
    project = os.path.join(work, "p.lfp")
    with open(project, "wb") as f:
        f.write(lfp.project(groups, columns=3))
    empty = os.path.join(work, "empty-home")
    os.makedirs(empty)
    browser = os.path.join(work, "browser-home")
    firefox_home(browser, ["%s%d.example.com" % (WORDS[i % 10], i) for i in range(20)])
    page = os.path.join(work, "page.htm")
    for name, home in (("no browser", empty), ("Firefox profile", browser)):
        env = dict(os.environ, HOME=home)
        times = {"classic": [], "modern": []}
        for _ in range(runs):
            for look in times:
                times[look].append(cpu_ms([binary, "--generate", project, page, "--style", look],
                                          env))
        classic, modern = statistics.median(times["classic"]), statistics.median(times["modern"])
        print("%s: classic %.0f ms, modern %.0f ms CPU (median of %d): %.2fx"
              % (name, classic, modern, runs, modern / classic))


if __name__ == "__main__":
    main()
