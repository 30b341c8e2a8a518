#!/usr/bin/python3
"""The modern page in headless Chromium, measured through the browser's own
performance API (figures in bench/README.md).

Usage: bench/browser_bench.py LINKFOLD_BINARY [RUNS]

  first render   1,000 links: first-contentful-paint and the load event,
                 from navigation start, RUNS fresh navigations, median / max
  filter key     10,000 links: one keystroke in the filter box: the script's
                 time for the input event plus the rendering (style, layout,
                 paint) of the frame that shows the result, for each key of
                 typed words and their deletion, median / 95th percentile / max,
                 and of the keys that empty the box; and the Event Timing entries of the
                 same keys (whole frame including paint; the browser only
                 reports those of 16 ms and more)
"""

import os
import statistics
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests",
                                "browser"))
import lfp  # noqa: E402
from test_modern_page import CHROMIUM, DRIVER  # noqa: E402,F401

FILTER_WORDS = ("wiki site 12", "news", "zz", "e")
WORDS = ["news", "wiki", "maps", "mail", "shop", "code", "docs", "music", "video", "photo",
         "travel", "weather", "sport", "food", "books", "games", "cloud", "bank", "learn", "tools"]


def make_page(work, binary, links):
    per_group = links // 10
    groups = []
    for g in range(10):
        items = []
        for i in range(per_group):
            n = g * per_group + i
            word = WORDS[n % len(WORDS)]
            items.append(("%s site %d" % (word.capitalize(), n),
                          "https://www.%s%d.example.com/page/%d" % (word, n % 97, n)))
        groups.append(("Group %d" % (g + 1), "#1F5F8B", items))
    project = os.path.join(work, "p%d.lfp" % links)
    page = os.path.join(work, "p%d.htm" % links)
    with open(project, "wb") as f:
        f.write(lfp.project(groups, columns=3))
    subprocess.run([binary, "--generate", project, page], check=True,
                   env=dict(os.environ, HOME=work))
    return page


def browser(work):
    from selenium import webdriver
    from selenium.webdriver.chrome.service import Service

    options = webdriver.ChromeOptions()
    options.binary_location = CHROMIUM
    for arg in ("--headless", "--no-sandbox", "--disable-gpu", "--no-first-run",
                "--disable-background-networking", "--disable-component-update",
                "--disable-sync", "--disable-dev-shm-usage", "--window-size=1280,900",
                "--user-data-dir=" + tempfile.mkdtemp(dir=work)):
        options.add_argument(arg)
    return webdriver.Chrome(service=Service(DRIVER), options=options)


def first_render(driver, page, runs):
    paints, loads = [], []
    for _ in range(runs):
        driver.get("about:blank")
        driver.get("file://" + page)
        fcp, load = driver.execute_async_script("""
            const done = arguments[arguments.length - 1];
            const check = () => {
                const p = performance.getEntriesByName('first-contentful-paint')[0];
                const n = performance.getEntriesByType('navigation')[0];
                if (p && n && n.loadEventEnd > 0) done([p.startTime, n.loadEventEnd]);
                else setTimeout(check, 20);
            };
            check();""")
        paints.append(fcp)
        loads.append(load)
    return paints, loads


def filter_keys(driver, page):
    from selenium.webdriver.common.action_chains import ActionChains
    from selenium.webdriver.common.keys import Keys

    driver.get("file://" + page)
    driver.execute_script("""
        window.keyTimes = []; window.eventTimes = [];
        let start = 0;
        window.addEventListener('input', () => { start = performance.now(); }, true);
        document.addEventListener('input', () => {
            const script = performance.now() - start;
            // The frame that shows the result: from its start to the end of
            // its rendering (style, layout, paint), when a posted message runs.
            requestAnimationFrame(() => {
                const frame = performance.now();
                const channel = new MessageChannel();
                channel.port1.onmessage = () => keyTimes.push(script + performance.now() - frame);
                channel.port2.postMessage(0);
            });
        });
        new PerformanceObserver(list => {
            for (const e of list.getEntries())
                if (e.name === 'keydown' || e.name === 'keypress' || e.name === 'input')
                    eventTimes.push(e.duration);
        }).observe({type: 'event', durationThreshold: 16, buffered: true});""")
    settle = """const done = arguments[arguments.length - 1];
                requestAnimationFrame(() => requestAnimationFrame(() => setTimeout(done, 0)));"""
    driver.find_element("tag name", "body").send_keys("/")
    for word in FILTER_WORDS:
        for key in list(word) + [Keys.BACKSPACE] * len(word):
            ActionChains(driver).send_keys(key).perform()
            driver.execute_async_script(settle)
    return driver.execute_script("return [keyTimes, eventTimes]")


def percentile(values, p):
    ordered = sorted(values)
    return ordered[min(len(ordered) - 1, int(len(ordered) * p / 100))]


def empty_page_paint(driver, work, runs):
    page = os.path.join(work, "empty.htm")
    with open(page, "w") as f:
        f.write("<!DOCTYPE html><meta charset=utf-8><title>x</title><p>x")
    return statistics.median(first_render(driver, page, runs)[0])


def main():
    binary = sys.argv[1]
    runs = int(sys.argv[2]) if len(sys.argv) > 2 else 15
    work = tempfile.mkdtemp(prefix="lf-bench-")
    small = make_page(work, binary, 1000)
    large = make_page(work, binary, 10000)
    driver = browser(work)
    try:
        paints, loads = first_render(driver, small, runs)
        print("first render, 1,000 links (%d runs): first-contentful-paint median %.1f ms, "
              "max %.1f ms; load event median %.1f ms, max %.1f ms"
              % (runs, statistics.median(paints), max(paints), statistics.median(loads),
                 max(loads)))
        print("first render of a one-line page (the browser's own floor): "
              "first-contentful-paint median %.1f ms" % empty_page_paint(driver, work, runs))
        paints, loads = first_render(driver, large, max(3, runs // 3))
        print("first render, 10,000 links: first-contentful-paint median %.1f ms; load event "
              "median %.1f ms" % (statistics.median(paints), statistics.median(loads)))
        keys, events = filter_keys(driver, large)
        # The keystrokes that empty the box: the last Backspace of each word.
        clears, at = [], 0
        for word in FILTER_WORDS:
            at += 2 * len(word)
            clears.append(keys[at - 1])
        print("filter keystroke, 10,000 links (%d keys): median %.2f ms, 95th percentile %.2f ms, "
              "max %.2f ms; clearing the box: median %.2f ms, max %.2f ms; "
              "event timing entries of 16 ms or more: %d%s"
              % (len(keys), statistics.median(keys), percentile(keys, 95), max(keys),
                 statistics.median(clears), max(clears), len(events),
                 (" (max %.0f ms)" % max(events)) if events else ""))
    finally:
        driver.quit()


if __name__ == "__main__":
    main()
