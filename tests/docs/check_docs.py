#!/usr/bin/python3
"""The documents against the program.

Every option and switch named in README.md, the manual page, --help and the
help pages is run with the real program on small fixtures, and every exit
status the documents name is one a run gives (and the other way round).

    check_docs.py SOURCE_DIR HEADLESS_PROGRAM [EDITOR_PROGRAM]

Without EDITOR_PROGRAM (a build without the editor) the switches only the
editor handles (/p, /pt, /dde, /Unregister) are checked in the documents but
not run.
"""

import html
import os
import re
import shutil
import subprocess
import sys
import tempfile

SOURCE, HEADLESS = sys.argv[1], os.path.abspath(sys.argv[2])
EDITOR = os.path.abspath(sys.argv[3]) if len(sys.argv) > 3 else None

# Options of other programs the documents show (cmake --install ...).
FOREIGN = {"--install", "--prefix"}



def bookmarks(folders):
    """A bookmark HTML file of {folder: [url, ...]}."""
    lines = ["<!DOCTYPE NETSCAPE-Bookmark-file-1>", "<TITLE>Bookmarks</TITLE>",
             "<H1>Bookmarks</H1>", "<DL><p>"]
    for folder, urls in folders.items():
        lines += ["<DT><H3>%s</H3>" % folder, "<DL><p>"]
        lines += ['<DT><A HREF="%s">%s</A>' % (url, url) for url in urls]
        lines += ["</DL><p>"]
    return "\n".join(lines + ["</DL><p>", ""])


# The runs. {d} is the temporary folder; "editor" runs need the editor
# program; "display" runs get the offscreen platform. out and err: None is
# not looked at, "" must be empty, anything else is a pattern to search for.
RUNS = [
    # Fixtures first: each import makes the project later runs use.
    dict(args=["--import-bookmarks", "{d}/mail.html", "{d}/mail.lfp"], status=0, out="", err=""),
    dict(args=["--import-bookmarks", "{d}/files.html", "{d}/files.lfp", "--group", "3"],
         status=0, out="", err=""),
    dict(args=["--import-bookmarks", "{d}/script.html", "{d}/part.lfp"], status=3, out="",
         err=r"1 script or data link skipped"),
    dict(args=["--import-bookmarks", "{d}/missing.html", "{d}/x.lfp"], status=1, err=r"missing"),
    dict(args=["--import-bookmarks", "{d}/mail.html"], status=2, err=r"^--import-bookmarks needs"),
    dict(args=["--generate", "{d}/mail.lfp", "{d}/page.htm"], status=0, out="", err=""),
    dict(args=["--generate", "{d}/mail.lfp", "{d}/page.htm", "--style", "modern"], status=0,
         out="", err=""),
    dict(args=["--generate", "{d}/none.lfp", "{d}/page.htm"], status=1, err=r"was not found"),
    dict(args=["--generate", "{d}/mail.lfp", "{d}/page.htm", "extra"], status=2),
    dict(args=["--export-bookmarks", "{d}/mail.lfp", "{d}/out.xbel"], status=0, out="", err=""),
    dict(args=["--export-bookmarks", "{d}/mail.lfp", "{d}/out.html"], status=0, out="", err=""),
    dict(args=["--export-bookmarks", "{d}/mail.lfp", "{d}/out.txt"], status=2,
         err=r"\.html or \.xbel"),
    # No network: mailto: links are skipped, file: links looked up on disk.
    dict(args=["--check-links", "{d}/mail.lfp", "--timeout", "5", "--jobs", "2"], status=0,
         out=r"\tskipped\t", err=r"skipped"),
    dict(args=["--check-links", "{d}/files.lfp"], status=2, out=r"^3\t1\tbroken\t", err=r"broken"),
    dict(args=["--check-links", "{d}/none.lfp"], status=1, err=r"was not found"),
    dict(args=["--duplicates", "{d}/mail.lfp"], status=0, out=r"^1\t2\t1\tmailto:", err=r"1 set"),
    dict(args=["--bogus"], status=2, err=r"^Unknown option: --bogus"),
    dict(args=["--help"], status=0, out=r"^Usage: linkfold", err=""),
    dict(args=["-h"], status=0, out=r"^Usage: linkfold", err=""),
    dict(args=["--help", "extra"], status=2, err=r"^Unexpected argument after --help: extra"),
    dict(args=["{d}/mail.lfp", "{d}/files.lfp"], status=2, err=r"^Unexpected argument: ",
         editor=True),
    dict(args=["/p"], status=2, err=r"^/p needs a project file", editor=True),
    dict(args=["-pt"], status=2, err=r"^/pt needs a project file", editor=True),
    dict(args=["--version"], status=0, out=r"^Linkfold \d", err=""),
    dict(args=["/dde"], status=0, out="", err="", editor=True),
    dict(args=["-dde"], status=0, out="", err="", editor=True),
    dict(args=["/p", "{d}/mail.lfp"], status=0, editor=True, display=True),
    dict(args=["-p", "{d}/mail.lfp"], status=0, editor=True, display=True),
    dict(args=["/pt", "{d}/mail.lfp", "printer", "driver", "port"], status=0, editor=True,
         display=True),
    dict(args=["-pt", "{d}/mail.lfp", "printer", "driver", "port"], status=0, editor=True,
         display=True),
    dict(args=["/Unregister"], status=0, out="", err=r"\S", editor=True),
    dict(args=["-Unregister"], status=0, out="", err=r"\S", editor=True),
    dict(args=["/Unregserver"], status=0, out="", err=r"\S", editor=True),
    dict(args=["-Unregserver"], status=0, out="", err=r"\S", editor=True),
    dict(args=["/Unregister", "extra"], status=2, editor=True),
]

# What a document's entry for an exit status must name.
STATUS_WORDS = {
    0: ["success"],
    1: ["bookmark", "Unregister"],
    2: ["usage", "--check-links"],
    3: ["--import-bookmarks"],
}

failures = []


def fail(text):
    failures.append(text)
    print("FAIL: " + text)


def read(path):
    with open(os.path.join(SOURCE, path), encoding="utf-8") as f:
        return f.read()


def write(path, text):
    with open(path, "w", encoding="utf-8") as f:
        f.write(text)


def run(args, editor=False, display=False, home=None):
    env = {k: v for k, v in os.environ.items()
           if k not in ("DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM")}
    env.update(XDG_CONFIG_HOME=home + "/config", XDG_DATA_HOME=home + "/data", HOME=home)
    if display:
        env["QT_QPA_PLATFORM"] = "offscreen"
    program = EDITOR if editor else HEADLESS
    try:
        done = subprocess.run([program] + args, env=env, capture_output=True, timeout=120,
                              cwd=home)
    except subprocess.TimeoutExpired:
        return None, "", "(no end within 120 s)"
    return (done.returncode, done.stdout.decode("utf-8", "replace"),
            done.stderr.decode("utf-8", "replace"))


def plain_man(text):
    text = re.sub(r"\\f[BIRP]", "", text).replace("\\-", "-").replace("\\(ti", "~")
    return "\n".join(line for line in text.splitlines() if not line.startswith('.\\"'))


def plain_html(text):
    return html.unescape(re.sub(r"<[^>]*>", "", text))


def options_in(text):
    found = set(re.findall(r"(?<![\w-])--[a-z][a-z0-9-]*[a-z0-9]", text))
    found |= set(re.findall(r"(?<![\w/.~-])[-/](?:p|pt|dde|h|Unregister|Unregserver)\b(?![/.\w-])",
                            text))
    return found - FOREIGN


def status_entries(name, text):
    """{status: its text} of a document's exit status list."""
    if name == "manual page":
        section = re.search(r"^\.SH EXIT STATUS\n(.*?)^\.SH", text, re.S | re.M).group(1)
        parts = re.split(r"^\.TP\n\.B (\d+)\n", section, flags=re.M)
    else:
        section = re.search(r"Exit status:(.*?)(?:\n\n|\Z)", text, re.S).group(1)
        parts = re.split(r"(?:^|;\s+)(\d)\s", section.strip())
    return {int(parts[i]): " ".join(parts[i + 1].split()) for i in range(1, len(parts), 2)}


def main():
    # Settings, registration and fixtures all live in one temporary home.
    home = d = tempfile.mkdtemp(prefix="linkfold-docs-")
    write(d + "/mail.html", bookmarks({"Mail": ["mailto:a@example.invalid"],
                                       "Post": ["mailto:a@example.invalid"]}))
    write(d + "/files.html", bookmarks({"Files": ["file:///nonexistent-linkfold-docs/x.htm"]}))
    write(d + "/script.html", bookmarks({"Script": ["https://example.invalid/",
                                                    "javascript:alert(1)"]}))

    helptext = run(["--help"], home=home)[1]
    docs = {
        "README.md": read("README.md"),
        "--help": helptext,
        "manual page": plain_man(read("resources/linkfold.1.in")),
    }
    helpdir = os.path.join(SOURCE, "resources/help")
    for page in sorted(os.listdir(helpdir)):
        if page.endswith(".html"):
            docs["help/" + page] = plain_html(read("resources/help/" + page))

    # The runs, and the options and statuses they show working.
    works = set()
    statuses = set()
    for r in RUNS:
        if r.get("editor") and not EDITOR:
            print("not run (no editor in this build): " + " ".join(r["args"]))
            works |= options_in(" ".join(r["args"]))
            continue
        args = [a.format(d=d) for a in r["args"]]
        status, out, err = run(args, r.get("editor", False), r.get("display", False), home)
        shown = " ".join(r["args"])
        if status != r["status"]:
            fail("%s: status %s, not %d (stderr: %s)" % (shown, status, r["status"], err[:300]))
            continue
        statuses.add(status)
        for stream, text in (("out", out), ("err", err)):
            want = r.get(stream)
            if want == "" and text:
                fail("%s: printed on std%s: %s" % (shown, stream, text[:300]))
            elif want and not re.search(want, text, re.M):
                fail("%s: std%s lacks /%s/: %s" % (shown, stream, want, text[:300]))
        if status != 2:
            works |= options_in(shown)

    # Every option a document names is one the program takes.
    for name, text in docs.items():
        for option in sorted(options_in(text) - works):
            fail("%s names %s, which no run shows working" % (name, option))
    # The reference documents name every option that works.
    for name in ("--help", "manual page"):
        for option in sorted(works - options_in(docs[name])):
            fail("%s does not name %s" % (name, option))
    for option in sorted(o for o in works if o.startswith("--")):
        if option not in docs["README.md"]:
            fail("README.md does not name %s" % option)

    # Options spelled only with "-" (none has a "/" twin) are in README too.
    for option in sorted(o for o in works if re.match(r"^-[a-zA-Z]", o)
                         and "/" + o[1:] not in works):
        if not re.search(r"(?<![\w-])" + re.escape(option) + r"(?![\w-])", docs["README.md"]):
            fail("README.md does not name %s" % option)

    # Every help page's navigation bar lists the same pages: all of them.
    pages = sorted(p for p in os.listdir(helpdir) if p.endswith(".html"))
    for page in pages:
        nav = re.search(r"<nav>(.*?)</nav>", read("resources/help/" + page), re.S)
        listed = sorted(re.findall(r'href="([^"#]+\.html)"', nav.group(1))) if nav else []
        if listed != pages:
            fail("help/%s: its navigation bar lists %s, the folder has %s" % (page, listed, pages))

    # The results that fail --check-links: --help names the ones README does.
    def failing_results(text, lead):
        m = re.search(lead + r"\s+((?:[a-z-]+,\s+)*[a-z-]+\s+or\s+[a-z-]+)", text)
        return set(re.split(r",\s+|\s+or\s+", m.group(1))) if m else set()
    readme_failing = failing_results(docs["README.md"], "exit status 2 when some link is")
    help_failing = failing_results(docs["--help"], "exits with 2 when one is")
    if not readme_failing or help_failing != readme_failing:
        fail("--help names %s as failing --check-links, README.md %s"
             % (sorted(help_failing), sorted(readme_failing)))

    # Exit statuses: the same set in each document as in the runs, each with
    # what gives it.
    for name in ("README.md", "--help", "manual page"):
        entries = status_entries(name, docs[name])
        if set(entries) != statuses:
            fail("%s names exit statuses %s, the runs give %s"
                 % (name, sorted(entries), sorted(statuses)))
        for status, words in STATUS_WORDS.items():
            for word in words:
                if word.lower() not in entries.get(status, "").lower():
                    fail("%s: exit status %d does not name %s" % (name, status, word))

    print("%d runs, options %s, statuses %s" % (len(RUNS), " ".join(sorted(works)),
                                                sorted(statuses)))
    shutil.rmtree(home)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
