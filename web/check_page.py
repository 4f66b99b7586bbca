#!/usr/bin/python3
"""Opens the web page from disk (file://) in headless Chromium and checks it
as a person would use it: the WebAssembly loads and shows the version that
mog --version prints, the inlined font loads, chosen and dropped files are
shown with their kind, the controls are reached with the Tab key and show their focus,
the browser logs no error and the page makes no request beyond itself.
Saves a screenshot.

Needs Debian's chromium, chromium-driver and python3-selenium, which belong
to the system's Python. From the top of the source tree, after the wasm and
release builds:

    /usr/bin/python3 web/check_page.py [--page build/wasm/mog.html]
        [--mog build/release/mog] [--screenshot build/wasm/page.png]
"""
import argparse
import json
import os
import pathlib
import shutil
import subprocess
import sys
import tempfile
import time

from selenium import webdriver
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.common.action_chains import ActionChains
from selenium.webdriver.common.by import By
from selenium.webdriver.common.keys import Keys

ROOT = pathlib.Path(__file__).resolve().parent.parent
CHROMIUM = "/usr/bin/chromium"
CHROMEDRIVER = "/usr/bin/chromedriver"
LOAD_SECONDS = 60
MAX_BYTES = 2 * 1024 * 1024

# Files to choose, with the kind the library gives each ("" for none).
CHOSEN = [
    ("samples/sample.d64", "d64"),
    ("tests/fixtures/c128.p00", "p00"),
    ("samples/notes.txt", ""),
]
# The controls a keyboard user must reach with Tab, in this order.
TAB_ORDER = ["files", "line", "machine:c64", "machine:c128", "machine:vic20",
             "machine:plus4", "machine:pet", "machine:mega65"]


class Checks:
    def __init__(self):
        self.failures = []
        self.passed = 0

    def expect(self, condition, what):
        if condition:
            self.passed += 1
            print("ok:", what)
        else:
            self.failures.append(what)
            print("FAILED:", what)


def shorten(text, limit=300):
    """A log message cut to a readable length (a data: URL can be huge)."""
    return text if len(text) <= limit else text[:limit] + "..."


def network_events(driver):
    """DevTools' Network events since the last call."""
    for entry in driver.get_log("performance"):
        event = json.loads(entry["message"])["message"]
        if event["method"].startswith("Network."):
            yield event


def start_browser(profile):
    options = webdriver.ChromeOptions()
    options.binary_location = CHROMIUM
    for argument in ["--headless=new", "--disable-gpu", "--disable-quic", "--no-first-run",
                     "--disable-background-networking", "--disable-component-update",
                     "--disable-sync", "--user-data-dir=" + profile, "--window-size=1000,1000"]:
        options.add_argument(argument)
    if os.geteuid() == 0:
        options.add_argument("--no-sandbox")  # Chromium's sandbox refuses root
    # The console, and DevTools' network events, which list every request
    # (file: and data: ones too, which Resource Timing leaves out).
    options.set_capability("goog:loggingPrefs", {"browser": "ALL", "performance": "ALL"})
    return webdriver.Chrome(service=Service(CHROMEDRIVER), options=options)


def wait_for(driver, script, seconds):
    """Runs script until it returns something true; returns that or None."""
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        value = driver.execute_script(script)
        if value:
            return value
        time.sleep(0.1)
    return None


def tab_stops(driver, count):
    """The controls that Tab reaches from the top of the page, each with
    whether its focus shows as an outline."""
    driver.execute_script("document.activeElement && document.activeElement.blur();"
                          "window.scrollTo(0, 0);")
    stops = []
    for _ in range(count):
        ActionChains(driver).send_keys(Keys.TAB).perform()
        stops.append(driver.execute_script("""
            const e = document.activeElement;
            if (!e || e === document.body) return null;
            const style = getComputedStyle(e);
            return [e.name ? e.name + ":" + e.value : e.id,
                    style.outlineStyle !== "none" && parseFloat(style.outlineWidth) > 0];"""))
    return stops


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--page", default=str(ROOT / "build/wasm/mog.html"))
    parser.add_argument("--mog", default=str(ROOT / "build/release/mog"))
    parser.add_argument("--screenshot", default=str(ROOT / "build/wasm/page.png"))
    arguments = parser.parse_args()

    page = pathlib.Path(arguments.page).resolve()
    if not page.is_file():
        sys.exit("check_page: no page at %s (cmake --preset wasm && cmake --build --preset wasm)" % page)
    version_line = subprocess.run([arguments.mog, "--version"], check=True, capture_output=True,
                                  text=True).stdout.strip()
    url = page.as_uri()
    checks = Checks()
    size = page.stat().st_size
    checks.expect(size < MAX_BYTES, "the page is one file under 2 MB (%d bytes)" % size)
    profile = tempfile.mkdtemp(prefix="mog-page-check-")
    driver = start_browser(profile)
    try:
        driver.get(url)
        state = wait_for(driver, "return document.documentElement.dataset.state", LOAD_SECONDS)
        checks.expect(state == "ready", "the WebAssembly loads (state %r, status %r)" % (
            state, driver.find_element(By.ID, "status").text))

        shown = "mog " + driver.find_element(By.ID, "version").text
        checks.expect(shown == version_line, "the page shows the version of mog --version (%r, %r)" % (
            shown, version_line))

        fonts = driver.execute_async_script("""
            const done = arguments[arguments.length - 1];
            document.fonts.ready.then(() => done(Array.from(document.fonts)
                .filter(face => face.family.replace(/"/g, "") === "mog PETSCII")
                .map(face => face.status)));""")
        checks.expect(fonts == ["loaded"], "the inlined C64 font loads (%r)" % (fonts,))

        # Files dropped on the zone, as a browser hands them over.
        driver.execute_script("""
            const files = new DataTransfer();
            files.items.add(new File([new Uint8Array(16)], "Demo.D81"));
            files.items.add(new File([new Uint8Array(16)], "tape.t64"));
            document.getElementById("drop").dispatchEvent(
                new DragEvent("drop", {dataTransfer: files, bubbles: true, cancelable: true}));""")
        dropped = driver.execute_script("""
            return Array.from(document.querySelectorAll("#results tbody tr"),
                              row => [row.cells[0].textContent, row.cells[1].dataset.kind]);""")
        checks.expect(dropped == [["Demo.D81", "d81"], ["tape.t64", "t64"]],
                      "files dropped on the zone are shown with their kind (%r)" % (dropped,))

        names = "\n".join(str(ROOT / name) for name, _ in CHOSEN)
        driver.find_element(By.ID, "files").send_keys(names)
        rows = wait_for(driver, """
            const rows = document.querySelectorAll("#results tbody tr");
            if (rows.length === 0 || rows[0].cells[0].textContent === "Demo.D81") return null;
            return Array.from(rows, row => [row.cells[0].textContent, row.cells[1].dataset.kind,
                                            row.cells[1].textContent]);""", 10) or []
        expected = [[os.path.basename(name), kind] for name, kind in CHOSEN]
        checks.expect([row[:2] for row in rows] == expected,
                      "each chosen file is shown with its kind (%r)" % (rows,))
        table_visible = driver.find_element(By.ID, "results").is_displayed()
        checks.expect(table_visible, "the results table is shown")

        stops = tab_stops(driver, len(TAB_ORDER) + 2)
        reached = [stop[0] for stop in stops if stop]
        checks.expect(reached[:len(TAB_ORDER)] == TAB_ORDER,
                      "Tab reaches the file chooser, the line number and each machine in turn (%r)" % reached)
        unmarked = [stop[0] for stop in stops if stop and not stop[1]]
        checks.expect(not unmarked, "each control reached with Tab shows its focus (none: %r)" % unmarked)

        # The whole page in one picture: a viewport as tall as the page.
        driver.execute_script("document.activeElement && document.activeElement.blur();")
        height = driver.execute_script("return document.documentElement.scrollHeight")
        driver.execute_cdp_cmd("Emulation.setDeviceMetricsOverride", {
            "width": 1000, "height": min(height, 4000), "deviceScaleFactor": 1, "mobile": False})
        os.makedirs(os.path.dirname(os.path.abspath(arguments.screenshot)), exist_ok=True)
        driver.save_screenshot(arguments.screenshot)
        print("screenshot:", arguments.screenshot)

        entries = driver.execute_script(
            "return performance.getEntries().map(entry => [entry.entryType, entry.name]);")
        requests = [entry for entry in entries if entry[0] in ("navigation", "resource")]
        checks.expect(requests == [["navigation", url]],
                      "the page makes no request beyond itself (%r)" % (requests,))

        # data: URLs hold their bytes in the page (the WebAssembly, the font);
        # chrome: ones are the browser's own new-tab page in another tab,
        # which a page from disk cannot load.
        urls = [event["params"]["request"]["url"] for event in network_events(driver)
                if event["method"] == "Network.requestWillBeSent"]
        others = [shorten(other, 100) for other in urls
                  if other != url and not other.startswith(("data:", "chrome:", "chrome-untrusted:"))]
        checks.expect(url in urls and not others,
                      "DevTools sees no request but the page and its data: URLs (others: %r)" % (others,))

        log = driver.get_log("browser")
        for entry in log:
            print("browser log: %s %s" % (entry["level"], shorten(entry["message"])))
        errors = [shorten(entry["message"]) for entry in log if entry["level"] == "SEVERE"]
        checks.expect(not errors, "the browser logs no error (%r)" % (errors,))
    finally:
        driver.quit()
        shutil.rmtree(profile, ignore_errors=True)

    print("%d passed, %d failed" % (checks.passed, len(checks.failures)))
    return 1 if checks.failures else 0


if __name__ == "__main__":
    sys.exit(main())
