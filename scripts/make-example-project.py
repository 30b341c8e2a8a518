#!/usr/bin/env python3
"""Writes examples/example.lfp, the example project shipped with Linkfold.

The project file is a flat little-endian record sequence:

  page:   word 256, string title, string subtitle, string title font,
          word title style, string top image, word title colour,
          word columns, word borders, word background colour,
          word link colour, word visited-link colour, word group count
  group:  string title, string bullet image, string font, word style,
          word title colour, word link count, then per link:
          string description, string URL

A word is 4 bytes, little-endian. A string is Windows-1252 bytes after a
length prefix: one byte below 0xFF; else 0xFF and a 16-bit length below
0xFFFE; else 0xFF 0xFF 0xFF and a 32-bit length. Colours are 0x00BBGGRR.
Style: bit 0 bold, bit 1 italic.

Usage: scripts/make-example-project.py [OUTPUT]   (default examples/example.lfp)
"""

import os
import struct
import sys

BOLD = 1


def word(value):
    return struct.pack("<I", value & 0xFFFFFFFF)


def string(text):
    data = text.encode("cp1252")
    n = len(data)
    if n < 0xFF:
        prefix = bytes([n])
    elif n < 0xFFFE:
        prefix = b"\xff" + struct.pack("<H", n)
    else:
        prefix = b"\xff\xff\xff" + struct.pack("<I", n)
    return prefix + data


def colour(html):
    """'#RRGGBB' to the file's 0x00BBGGRR."""
    r, g, b = (int(html[i:i + 2], 16) for i in (1, 3, 5))
    return r | g << 8 | b << 16


# Titles and descriptions are HTML: "&" is written "&amp;".
GROUPS = [
    ("News", "#B22222", [
        ("BBC News", "https://www.bbc.com/news"),
        ("Reuters", "https://www.reuters.com/"),
        ("AP News", "https://apnews.com/"),
        ("The Guardian", "https://www.theguardian.com/international"),
        ("Al Jazeera", "https://www.aljazeera.com/"),
        ("Hacker News", "https://news.ycombinator.com/"),
        ("NPR", "https://www.npr.org/"),
    ]),
    ("Reference", "#1F5F8B", [
        ("Wikipedia", "https://en.wikipedia.org/"),
        ("Wiktionary", "https://en.wiktionary.org/"),
        ("Wikimedia Commons", "https://commons.wikimedia.org/"),
        ("Internet Archive", "https://archive.org/"),
        ("Project Gutenberg", "https://www.gutenberg.org/"),
        ("Wolfram|Alpha", "https://www.wolframalpha.com/"),
        ("Britannica", "https://www.britannica.com/"),
        ("Merriam-Webster", "https://www.merriam-webster.com/"),
    ]),
    ("Development", "#2E7D32", [
        ("GitHub", "https://github.com/"),
        ("GitLab", "https://gitlab.com/"),
        ("Stack Overflow", "https://stackoverflow.com/"),
        ("MDN Web Docs", "https://developer.mozilla.org/"),
        ("cppreference.com", "https://en.cppreference.com/"),
        ("Qt Documentation", "https://doc.qt.io/"),
        ("Python Documentation", "https://docs.python.org/3/"),
        ("Compiler Explorer", "https://godbolt.org/"),
    ]),
    ("Maps &amp; Travel", "#00796B", [
        ("OpenStreetMap", "https://www.openstreetmap.org/"),
        ("Google Maps", "https://www.google.com/maps"),
        ("OpenTopoMap", "https://opentopomap.org/"),
        ("Wikivoyage", "https://en.wikivoyage.org/"),
        ("Flightradar24", "https://www.flightradar24.com/"),
    ]),
    ("Weather", "#0277BD", [
        ("Windy", "https://www.windy.com/"),
        ("Yr", "https://www.yr.no/en"),
        ("Met Office", "https://www.metoffice.gov.uk/"),
        ("National Weather Service", "https://www.weather.gov/"),
        ("Blitzortung lightning map", "https://www.blitzortung.org/"),
    ]),
    ("Learning", "#6A1B9A", [
        ("Khan Academy", "https://www.khanacademy.org/"),
        ("MIT OpenCourseWare", "https://ocw.mit.edu/"),
        ("Coursera", "https://www.coursera.org/"),
        ("edX", "https://www.edx.org/"),
        ("Duolingo", "https://www.duolingo.com/"),
        ("Exercism", "https://exercism.org/"),
        ("The Odin Project", "https://www.theodinproject.com/"),
    ]),
    ("Handy Tools", "#5D4037", [
        ("DuckDuckGo", "https://duckduckgo.com/"),
        ("DeepL Translator", "https://www.deepl.com/translator"),
        ("Time and Date", "https://www.timeanddate.com/"),
        ("XE Currency Converter", "https://www.xe.com/"),
        ("regex101", "https://regex101.com/"),
        ("Speed test", "https://fast.com/"),
        ("Have I Been Pwned", "https://haveibeenpwned.com/"),
        ("Excalidraw", "https://excalidraw.com/"),
    ]),
    ("Shopping", "#C2185B", [
        ("Amazon", "https://www.amazon.com/"),
        ("eBay", "https://www.ebay.com/"),
        ("Etsy", "https://www.etsy.com/"),
        ("IKEA", "https://www.ikea.com/"),
        ("Bookshop.org", "https://bookshop.org/"),
    ]),
    ("Entertainment", "#E65100", [
        ("YouTube", "https://www.youtube.com/"),
        ("Netflix", "https://www.netflix.com/"),
        ("Spotify", "https://open.spotify.com/"),
        ("IMDb", "https://www.imdb.com/"),
        ("Steam", "https://store.steampowered.com/"),
        ("Twitch", "https://www.twitch.tv/"),
        ("Letterboxd", "https://letterboxd.com/"),
    ]),
    ("Linux &amp; Open Source", "#37474F", [
        ("Debian", "https://www.debian.org/"),
        ("ArchWiki", "https://wiki.archlinux.org/"),
        ("LWN.net", "https://lwn.net/"),
        ("The Linux Kernel Archives", "https://www.kernel.org/"),
        ("Flathub", "https://flathub.org/"),
        ("GNU Project", "https://www.gnu.org/"),
        ("KDE", "https://kde.org/"),
        ("GNOME", "https://www.gnome.org/"),
    ]),
]

PAGE = {
    "title": "Links for Every Day",
    "subtitle": "An example project - make it your own",
    "title_font": "Arial",
    "title_style": BOLD,
    "top_image": "",
    "title_colour": "#1F3B5C",
    "columns": 3,
    "borders": 1,
    "background": "#FAF8F2",
    "link": "#1A4E8A",
    "visited": "#6B3FA0",
}


def project_bytes():
    out = bytearray()
    out += word(256)
    out += string(PAGE["title"])
    out += string(PAGE["subtitle"])
    out += string(PAGE["title_font"])
    out += word(PAGE["title_style"])
    out += string(PAGE["top_image"])
    out += word(colour(PAGE["title_colour"]))
    out += word(PAGE["columns"])
    out += word(PAGE["borders"])
    out += word(colour(PAGE["background"]))
    out += word(colour(PAGE["link"]))
    out += word(colour(PAGE["visited"]))
    assert len(GROUPS) == 10, "a project holds exactly ten groups"
    out += word(len(GROUPS))
    for title, title_colour, links in GROUPS:
        out += string(title)
        out += string("")  # no bullet image
        out += string("Arial")
        out += word(BOLD)
        out += word(colour(title_colour))
        out += word(len(links))
        for description, url in links:
            out += string(description)
            out += string(url)
    return bytes(out)


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    default = os.path.join(here, os.pardir, "examples", "example.lfp")
    path = sys.argv[1] if len(sys.argv) > 1 else default
    for text in (PAGE["title"], PAGE["subtitle"]):
        assert len(text) <= 50, "the editor takes at most 50 characters: " + text
    with open(path, "wb") as f:
        f.write(project_bytes())
    return 0


if __name__ == "__main__":
    sys.exit(main())
