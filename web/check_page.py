#!/usr/bin/python3
"""Opens the web page from disk (file://) in headless Chromium and checks it
as a person would use it, against the tool itself: the WebAssembly loads and
shows the version of mog --version, the inlined font loads, the machines are
those of mog --help, each sample and fixture is listed as mog -v --json and
mog -v --unicode list it, the JSON download is mog -v --json's output byte
for byte, Stamp downloads the bytes mog -n writes (and mog -i's when a
program is kept, and for entries that share a start line), Check marks
what mog --check lists and fails what it fails, damaged and refused files
say what the tool says, the four parts of a Zip-Code set make one card
whose Stamp offers the parts mog -n writes, a set with a part missing says
which, zips and gzips are named as not read in the page, the page is used
with the keyboard alone, the browser logs no error and the page makes no
request beyond itself. Saves a screenshot with the sample disk listed.

Needs Debian's chromium, chromium-driver and python3-selenium, which belong
to the system's Python. From the top of the source tree, after the wasm and
release builds:

    /usr/bin/python3 web/check_page.py [--page build/wasm/mog.html]
        [--mog build/release/mog] [--screenshot build/wasm/page.png]
"""
import argparse
import datetime
import glob
import gzip
import json
import os
import pathlib
import shutil
import struct
import subprocess
import sys
import tempfile
import time
import zipfile

from selenium import webdriver
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.common.action_chains import ActionChains
from selenium.webdriver.common.by import By
from selenium.webdriver.common.keys import Keys

ROOT = pathlib.Path(__file__).resolve().parent.parent
CHROMIUM = "/usr/bin/chromium"
CHROMEDRIVER = "/usr/bin/chromedriver"
LOAD_SECONDS = 60
WAIT_SECONDS = 20
MAX_BYTES = 2 * 1024 * 1024
MAX_FILE_SIZE = 16 * 1024 * 1024
STAMP = "1999"

# Every sample and container fixture.
LISTED = ["samples/sample.d64", "samples/sample.d81", "samples/sample.t64", "samples/game.prg"] + sorted(
    os.path.relpath(path, ROOT) for path in glob.glob(str(ROOT / "tests/fixtures/*"))
    if path.lower().endswith((".d64", ".d71", ".d81", ".t64", ".prg", ".lnx")) or path.lower()[-4:-2] == ".p")
# Stamped with 1999, each compared with what mog -n 1999 writes.
STAMPED = ["samples/sample.d64", "samples/sample.d81", "samples/sample.t64", "samples/game.prg",
           "tests/fixtures/cc1541.d71", "tests/fixtures/one.p00", "tests/fixtures/cbmconvert.lnx"]
# The Zip-Code set of the sample disk, part 1 first.
ZIPCODE = sorted((ROOT / "tests/fixtures/zipcode").iterdir())
NOT_IN_PAGE = "Zip and gzip files are not supported in the page; the mog tool reads them."
# The program of the sample disk that a stamp keeps, by its index.
KEPT_INDEX = 4
# The controls a keyboard user reaches with Tab from the top, with the
# sample disk listed: the chooser, the settings, then the disk's eight start
# lines that may be set (not the two that may not) and its buttons.
TAB_ORDER = (["files", "line", "machine:c64", "machine:c128", "machine:vic20", "machine:plus4", "machine:pet",
              "machine:mega65"] + ["set:on"] * 8 + ["button.stamp", "button.check", "button.json"])
MIDDLE_DOT = "\u00b7"
NO_BREAK_SPACE = "\u00a0"

# Each card of the page as data: its file's name and kind, the error and
# warnings shown beside it, its listing's rows and its buttons.
CARDS_SCRIPT = """
return Array.from(document.querySelectorAll("#results article.file"), card => ({
    name: card.querySelector(".file-name").textContent,
    kind: card.dataset.kind,
    error: card.querySelector(".error") ? card.querySelector(".error").textContent : null,
    warnings: Array.from(card.querySelectorAll(".warnings li"), item => item.textContent),
    rows: Array.from(card.querySelectorAll("table.listing tbody tr"), row => {
        const box = row.querySelector("input[name=set]");
        return {index: Number(row.dataset.index), cells: Array.from(row.cells, cell => cell.textContent),
                settable: !box.disabled, set: box.checked, lacks: row.classList.contains("lacks")};
    }),
    buttons: Array.from(card.querySelectorAll(".actions button"), button => button.textContent),
    outcome: card.querySelector(".outcome").textContent,
    status: card.querySelector(".outcome").dataset.status || null,
    failed: card.querySelector(".outcome").classList.contains("failed"),
}));"""


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
    text = str(text)
    return text if len(text) <= limit else text[:limit] + "..."


def network_events(driver):
    """DevTools' Network events since the last call."""
    for entry in driver.get_log("performance"):
        event = json.loads(entry["message"])["message"]
        if event["method"].startswith("Network."):
            yield event


def start_browser(profile, downloads):
    options = webdriver.ChromeOptions()
    options.binary_location = CHROMIUM
    for argument in ["--headless=new", "--disable-gpu", "--disable-quic", "--no-first-run",
                     "--disable-background-networking", "--disable-component-update",
                     "--disable-sync", "--user-data-dir=" + profile, "--window-size=1000,1000"]:
        options.add_argument(argument)
    if os.geteuid() == 0:
        options.add_argument("--no-sandbox")  # Chromium's sandbox refuses root
    # Downloads go to a folder of the check's own, without a question.
    options.add_experimental_option("prefs", {
        "download.default_directory": downloads, "download.prompt_for_download": False,
        "profile.default_content_setting_values.automatic_downloads": 1})
    # The console, and DevTools' network events, which list every request
    # (file: and data: ones too, which Resource Timing leaves out).
    options.set_capability("goog:loggingPrefs", {"browser": "ALL", "performance": "ALL"})
    driver = webdriver.Chrome(service=Service(CHROMEDRIVER), options=options)
    # Chromium holds a file named *.out, as the tool names a Zip-Code set's
    # new parts, for the user to keep or discard; here each one is kept.
    driver.execute_cdp_cmd("Browser.setDownloadBehavior", {"behavior": "allow", "downloadPath": downloads})
    return driver


def wait_for(driver, script, seconds, *arguments):
    """Runs script until it returns something true; returns that or None."""
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        value = driver.execute_script(script, *arguments)
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
            return [e.name ? e.name + ":" + e.value : e.id || e.tagName.toLowerCase() + "." + e.className,
                    style.outlineStyle !== "none" && parseFloat(style.outlineWidth) > 0];"""))
    return stops


class Tool:
    """What build/release/mog says and writes, run in the file's folder on
    its bare name, as the page knows the file."""

    def __init__(self, mog, scratch):
        self.mog = mog
        self.scratch = scratch

    def run(self, path, *options, answers=None):
        folder, name = os.path.split(os.path.abspath(path))
        return subprocess.run([self.mog, *options, name], cwd=folder, capture_output=True,
                              input=answers.encode() if answers is not None else None)

    def records(self, path, machines="c64"):
        return self.run(path, "-v", "--json", "--machine", machines).stdout

    def unicode_listing(self, path, machines="c64"):
        return self.run(path, "-v", "--unicode", "--machine", machines).stdout.decode("utf-8")

    def written(self, path, *options, answers=None):
        """The bytes mog writes for the file with the options, or None."""
        out = os.path.join(self.scratch, "out" + os.path.splitext(path)[1])
        if os.path.exists(out):
            os.unlink(out)
        folder, name = os.path.split(os.path.abspath(path))
        done = subprocess.run([self.mog, *options, name, out], cwd=folder, capture_output=True,
                              input=answers.encode() if answers is not None else None)
        if done.returncode != 0 or not os.path.exists(out):
            return None
        with open(out, "rb") as written:
            return written.read()

    def set_written(self, parts, *options):
        """The files mog writes for a copy of the set's parts, named by
        part 1, when no destination is given: {name: bytes}."""
        folder = tempfile.mkdtemp(dir=self.scratch)
        for part in parts:
            shutil.copyfile(part, os.path.join(folder, part.name))
        subprocess.run([self.mog, *options, parts[0].name], cwd=folder, capture_output=True,
                       stdin=subprocess.DEVNULL)
        return {name: pathlib.Path(folder, name).read_bytes() for name in os.listdir(folder)
                if name not in [part.name for part in parts]}

    def default_written(self, path, *options):
        """The name and bytes of what mog writes for a copy of the file when
        no destination is given, or None."""
        folder = tempfile.mkdtemp(dir=self.scratch)
        name = os.path.basename(path)
        shutil.copyfile(path, os.path.join(folder, name))
        subprocess.run([self.mog, *options, name], cwd=folder, capture_output=True, stdin=subprocess.DEVNULL)
        written = [other for other in os.listdir(folder) if other != name]
        if len(written) != 1:
            return None
        with open(os.path.join(folder, written[0]), "rb") as file:
            return written[0], file.read()


def marked(text):
    """Text as mog --unicode shows it: each control code a middle dot."""
    return "".join(MIDDLE_DOT if ord(c) < 0x20 or 0x7F <= ord(c) < 0xA0 else c for c in text)


def expected_card(name, records):
    """The card the tool's JSON records call for."""
    values = [json.loads(line) for line in records.decode("utf-8").splitlines()]
    programs, file = values[:-1], values[-1]
    rows = []
    for program in programs:
        start = program["start_line"]
        rows.append({
            "index": program["index"],
            "cells": [marked(program["name"]) if program["name"] is not None else "", program["type"],
                      "$%04X" % program["load_address"] if program["load_address"] is not None else "",
                      str(program["line"]) if start else "", "SYS" + marked(program["text"]) if start else ""],
            "settable": start and program["archive"] is None})
    return {"name": name, "kind": file["kind"], "error": file["error"],
            "warnings": ["WARNING: " + warning for warning in file["warnings"]], "rows": rows}


def shown_card(card):
    """The same parts of a card as the page shows them."""
    return {"name": card["name"], "kind": card["kind"], "error": card["error"], "warnings": card["warnings"],
            "rows": [{"index": row["index"], "cells": row["cells"][:5], "settable": row["settable"]}
                     for row in card["rows"]]}


def unicode_mismatches(card, listing, error):
    """The rows of a card that mog -v --unicode lists otherwise: a disk's or
    tape's lines are the name field and [line SYS text], a PRG's or P00's
    line is line SYS text; a line whose number is data says so after it. A
    file the tool refuses is listed without a start line that may be set."""
    if card is None:
        return ["no card"]
    if error:  # mog -v prints the error alone
        return [row["cells"] for row in card["rows"] if row["settable"]]
    lines = [line for line in listing.splitlines()[1:]
             if line and line != "Done." and not line.startswith("WARNING: ")]
    if len(lines) != len(card["rows"]):
        return ["%d lines for %d rows" % (len(lines), len(card["rows"]))]
    wrong = []
    one_program = card["kind"] in ("prg", "p00")
    for row, line in zip(card["rows"], lines):
        name, line_number, text = row["cells"][0], row["cells"][3], row["cells"][4]
        if line_number and not row["settable"]:
            kept = " (self-dissolving archive, kept)"
            line = line[:-len(kept)] if line.endswith(kept) else line + " (not kept as data)"
        if one_program:
            right = line == "%s %s" % (line_number, text)
        else:
            right = line.startswith(name) and (not line_number or line.endswith(" [%s %s]" % (line_number, text)))
        if not right:
            wrong.append((line, row["cells"]))
    return wrong


class Page:
    def __init__(self, driver, downloads):
        self.driver = driver
        self.downloads = downloads

    def choose(self, paths):
        """Chooses the files with the file chooser and waits for their cards."""
        before = self.driver.execute_script("return document.documentElement.dataset.files || ''")
        chooser = self.driver.find_element(By.ID, "files")
        self.driver.execute_script("arguments[0].value = '';", chooser)
        chooser.send_keys("\n".join(os.path.abspath(path) for path in paths))
        wait_for(self.driver, "return (document.documentElement.dataset.files || '') !== arguments[0];",
                 WAIT_SECONDS, before)
        return self.cards()

    def cards(self):
        return {card["name"]: card for card in self.driver.execute_script(CARDS_SCRIPT)}

    def card_element(self, name):
        """The card of the file, or None."""
        for card in self.driver.find_elements(By.CSS_SELECTOR, "#results article.file"):
            if card.find_element(By.CSS_SELECTOR, ".file-name").text == name:
                return card
        return None

    def button(self, name, kind):
        """A button of the file's card, or None."""
        card = self.card_element(name)
        buttons = card.find_elements(By.CSS_SELECTOR, "button." + kind) if card else []
        return buttons[0] if buttons else None

    def type_line(self, text):
        field = self.driver.find_element(By.ID, "line")
        field.send_keys(Keys.CONTROL, "a")
        field.send_keys(Keys.DELETE)
        field.send_keys(text)

    def download(self, name):
        """The bytes of the finished download, which is removed; None unless
        it came under the name given, or under the name Chromium makes of
        it on disk ('"' becomes '_')."""
        end = time.monotonic() + WAIT_SECONDS
        while time.monotonic() < end:
            names = os.listdir(self.downloads)
            if names and not any(other.endswith(".crdownload") for other in names):
                time.sleep(0.1)
                found = None
                for other in os.listdir(self.downloads):
                    path = os.path.join(self.downloads, other)
                    if other in (name, name.replace('"', "_")):
                        with open(path, "rb") as downloaded:
                            found = downloaded.read()
                    else:
                        print("unexpected download:", other)
                    os.unlink(path)
                return found
            time.sleep(0.1)
        return None

    def json_download(self, name):
        button = self.button(name, "json")
        if not button:
            return None
        button.click()
        return self.download(name + ".jsonl")

    def stamp(self, name):
        """Clicks Stamp and then the link it offers; gives the link's name and
        the bytes downloaded."""
        button = self.button(name, "stamp")
        if not button:
            return None, None
        button.click()
        links = self.card_element(name).find_elements(By.CSS_SELECTOR, "a.stamped")
        if not links:
            return None, None
        offered = links[0].get_attribute("download")
        links[0].click()
        return offered, self.download(offered)

    def stamp_set(self, name):
        """Clicks Stamp and then each link it offers: {name: bytes}."""
        button = self.button(name, "stamp")
        if button:
            button.click()
        offered = {}
        for link in self.card_element(name).find_elements(By.CSS_SELECTOR, "a.stamped"):
            link.click()
            offered[link.get_attribute("download")] = self.download(link.get_attribute("download"))
        return offered


def sda_program():
    """A self-dissolving archive: the stub 9 SYS2061 at $0801, the dissolver
    up to (9 - 6) * 254 bytes into the file, then an archive entry header
    (version 2, stored, checksum, size, blocks, type P, name, record length,
    date) and the file it holds."""
    stub = bytes([0x01, 0x08, 0x0B, 0x08, 9, 0, 0x9E]) + b"2061" + bytes([0, 0, 0])
    program = bytearray(stub)
    while len(program) < (9 - 6) * 254:
        program.append(0x20 + (len(program) * 37) % 0xC0)
    data = bytes([0x01, 0x08, 0x00, 0x00])
    checksum = sum(byte ^ ((i + 1) & 0xFF) for i, byte in enumerate(data)) & 0xFFFF
    name = b"HELLO"
    header = bytes([2, 0]) + struct.pack("<H", checksum) + struct.pack("<I", len(data))[:3] + struct.pack(
        "<H", 1) + b"P" + bytes([len(name)]) + name + bytes(3)
    return bytes(program) + header + data


def made_files(folder):
    """Files the check makes: damaged, odd or refused ones."""
    def put(name, content):
        path = os.path.join(folder, name)
        with open(path, "wb") as file:
            file.write(content)
        return path
    with open(ROOT / "samples/sample.d64", "rb") as disk:
        image = disk.read()
    made = {
        "half.d64": put("half.d64", image[:len(image) // 2]),
        "archive.prg": put("archive.prg", sda_program()),
        # 10 SYS2061: then HOME, CLR and WHITE, control codes in the line.
        "marked.prg": put("marked.prg", bytes([0x01, 0x08, 0x0F, 0x08, 10, 0, 0x9E]) + b"2061:" +
                          bytes([0x13, 0x93, 0x05, 0, 0, 0])),
        "nosys.prg": put("nosys.prg", bytes([0x01, 0x08, 0x0B, 0x08, 10, 0, 0x99, 0x22]) + b"HI" +
                         bytes([0x22, 0, 0, 0])),
        "plain.p00": put("plain.p00", b"x" * 100),
        "random.p64": put("random.p64", bytes((i * 151 + 7) % 256 for i in range(4096))),
        "zeros.d81": put("zeros.d81", bytes(819200)),
        # The second directory entry leads to the first one's first sector.
        "shared.d64": put("shared.d64", image[:91683] + image[91651:91653] + image[91685:]),
        "notes.txt": put("notes.txt", b"hello\n"),
        "game.d64.gz": put("game.d64.gz", gzip.compress(image)),
    }
    with zipfile.ZipFile(os.path.join(folder, "games.zip"), "w") as archive:
        archive.writestr("game.d64", image)
    made["games.zip"] = os.path.join(folder, "games.zip")
    # A name the records must quote, with a letter beyond ASCII.
    with open(ROOT / "samples/game.prg", "rb") as program:
        made['Spiel "Über".PRG'] = put('Spiel "Über".PRG', program.read())
    made["big.d64"] = put("big.d64", b"")
    os.truncate(made["big.d64"], MAX_FILE_SIZE + 1)
    made["gone.d64"] = put("gone.d64", image)
    return made


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--page", default=str(ROOT / "build/wasm/mog.html"))
    parser.add_argument("--mog", default=str(ROOT / "build/release/mog"))
    parser.add_argument("--screenshot", default=str(ROOT / "build/wasm/page.png"))
    arguments = parser.parse_args()

    page_path = pathlib.Path(arguments.page).resolve()
    if not page_path.is_file():
        sys.exit("check_page: no page at %s (cmake --preset wasm && cmake --build --preset wasm)" % page_path)
    mog = os.path.abspath(arguments.mog)
    version_line = subprocess.run([mog, "--version"], check=True, capture_output=True, text=True).stdout.strip()
    help_text = subprocess.run([mog, "--help"], check=True, capture_output=True, text=True).stdout
    help_machines = []
    for line in help_text.split("Machines for --machine", 1)[1].splitlines()[1:]:
        if not line.strip() or line.split()[0] == "all":
            break
        help_machines.append([line.split()[0]] + line.split(None, 1)[1].split(": ", 1))
    year = datetime.date.today().year

    url = page_path.as_uri()
    checks = Checks()
    size = page_path.stat().st_size
    checks.expect(size < MAX_BYTES, "the page is one file under 2 MB (%d bytes)" % size)
    work = tempfile.mkdtemp(prefix="mog-page-check-")
    profile, downloads, made_folder, scratch = (os.path.join(work, name)
                                                 for name in ("profile", "downloads", "made", "scratch"))
    for folder in (downloads, made_folder, scratch):
        os.makedirs(folder)
    tool = Tool(mog, scratch)
    driver = start_browser(profile, downloads)
    page = Page(driver, downloads)
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

        machines = driver.execute_script("""
            return Array.from(document.querySelectorAll("input[name=machine]"),
                              box => [box.value, box.nextElementSibling.textContent,
                                      box.parentElement.querySelector(".starts").textContent, box.checked]);""")
        checks.expect([machine[:3] for machine in machines] == help_machines,
                      "the machines to choose are those of mog --help, with their BASIC starts (%r)" % (machines,))
        checks.expect([machine[0] for machine in machines if machine[3]] == ["c64"],
                      "only the C64 is chosen at first (%r)" % ([m[0] for m in machines if m[3]],))
        line_value = driver.find_element(By.ID, "line").get_attribute("value")
        checks.expect(line_value == str(year), "the line number is the current year at first (%r)" % line_value)

        # Files dropped on the zone, as a browser hands them over.
        driver.execute_script("""
            const files = new DataTransfer();
            files.items.add(new File([new Uint8Array(16)], "Demo.D81"));
            files.items.add(new File([new Uint8Array(16)], "tape.t64"));
            document.getElementById("drop").dispatchEvent(
                new DragEvent("drop", {dataTransfer: files, bubbles: true, cancelable: true}));""")
        dropped = wait_for(driver, """
            const cards = document.querySelectorAll("#results article.file");
            return cards.length === 2 && Array.from(cards, card => [card.querySelector(".file-name").textContent,
                                                                    card.dataset.kind]);""", WAIT_SECONDS)
        checks.expect(dropped == [["Demo.D81", "d81"], ["tape.t64", "t64"]],
                      "files dropped on the zone are listed with their kind (%r)" % (dropped,))

        # The sample disk, as the screenshot shows it, and the keyboard.
        cards = page.choose([ROOT / "samples/sample.d64"])
        stops = tab_stops(driver, len(TAB_ORDER) + 2)
        reached = [stop[0] for stop in stops if stop]
        checks.expect(reached[:len(TAB_ORDER)] == TAB_ORDER,
                      "Tab reaches the file chooser, the settings, each start line that may be set and "
                      "the buttons in turn (%r)" % reached)
        unmarked = [stop[0] for stop in stops if stop and not stop[1]]
        checks.expect(not unmarked, "each control reached with Tab shows its focus (none: %r)" % unmarked)

        # Check, against mog --check: the marks and the count.
        page.button("sample.d64", "check").click()
        card = page.cards()["sample.d64"]
        marks = [[row["cells"][0], row["cells"][6]] for row in card["rows"] if row["lacks"]]
        listed = []
        for line in tool.run(ROOT / "samples/sample.d64", "--check", "--unicode", "-n", str(year)).stdout.decode(
                "utf-8").splitlines():
            name, said = line[len("sample.d64: '"):].split("' ", 1)
            listed.append([name.rstrip(NO_BREAK_SPACE), said])
        checks.expect(marks == listed and len(marks) == 8 and card["outcome"] == "8 start lines lack %d." % year,
                      "Check marks the start lines mog --check lists (%r, %r)" % (marks, card["outcome"]))

        # The whole page in one picture: a viewport as tall as the page.
        driver.execute_script("document.activeElement && document.activeElement.blur();")
        height = driver.execute_script("return document.documentElement.scrollHeight")
        driver.execute_cdp_cmd("Emulation.setDeviceMetricsOverride", {
            "width": 1000, "height": min(height, 4000), "deviceScaleFactor": 1, "mobile": False})
        os.makedirs(os.path.dirname(os.path.abspath(arguments.screenshot)), exist_ok=True)
        driver.save_screenshot(arguments.screenshot)
        driver.execute_cdp_cmd("Emulation.clearDeviceMetricsOverride", {})
        print("screenshot:", arguments.screenshot)

        # Every sample and fixture: the listing and the JSON download are the tool's.
        cards = page.choose([ROOT / path for path in LISTED])
        checks.expect(sorted(cards) == sorted(os.path.basename(path) for path in LISTED),
                      "each sample and fixture chosen gets a card (%r)" % sorted(cards))
        for path in LISTED:
            name = os.path.basename(path)
            records = tool.records(ROOT / path)
            card = cards.get(name)
            expected = expected_card(name, records)
            checks.expect(card is not None and shown_card(card) == expected,
                          "%s is listed as mog -v --json lists it (%r, %r)" % (
                              path, card and shown_card(card), expected))
            wrong = unicode_mismatches(card, tool.unicode_listing(ROOT / path), expected["error"])
            checks.expect(not wrong, "%s is listed as mog -v --unicode lists it (%r)" % (path, wrong))
            downloaded = page.json_download(name) if card else None
            checks.expect(downloaded == records, "%s: the JSON download is mog -v --json's output (%d, %d bytes)" % (
                path, len(downloaded or b""), len(records)))

        # Files made here: damaged, with control codes, refused.
        made = made_files(made_folder)
        checks.expect(b'"archive":"sda"' in tool.records(made["archive.prg"]),
                      "mog -v --json calls the SDA-shaped program a self-dissolving archive")
        driver.execute_script("""
            // The browser fails to read this one, as it does for a file
            // changed or removed after it was chosen.
            const read = File.prototype.arrayBuffer;
            File.prototype.arrayBuffer = function () {
                if (this.name === "gone.d64")
                    return Promise.reject(new DOMException("The file could not be read.", "NotReadableError"));
                return read.call(this);
            };""")
        cards = page.choose(made.values())
        for name in ["half.d64", "archive.prg", "marked.prg", "nosys.prg", "plain.p00", "big.d64", 'Spiel "Über".PRG']:
            records = tool.records(made[name])
            card = cards.get(name)
            expected = expected_card(name, records)
            checks.expect(card is not None and shown_card(card) == expected,
                          "%s is shown as mog -v --json lists it (%r, %r)" % (name, card and shown_card(card), expected))
            if name != "big.d64":
                wrong = unicode_mismatches(card, tool.unicode_listing(made[name]), expected["error"])
                checks.expect(not wrong, "%s is listed as mog -v --unicode lists it (%r)" % (name, wrong))
            downloaded = page.json_download(name) if card else None
            checks.expect(downloaded == records, "%s: the JSON download is mog -v --json's output" % name)
        card = cards.get("half.d64") or {"warnings": []}
        checks.expect(len(card["warnings"]) == 2 and "Directory chain broken" in card["warnings"][1],
                      "the disk cut in half shows its warnings (%r)" % card["warnings"])
        card = cards.get("archive.prg") or {"rows": [{"settable": True, "cells": [""] * 7}]}
        checks.expect(not card["rows"][0]["settable"] and "elf-dissolving archive" in card["rows"][0]["cells"][6],
                      "the self-dissolving archive's line cannot be set, and the page says why (%r)" % card["rows"])
        card = cards.get("marked.prg") or {"rows": [{"cells": [""] * 7}]}
        checks.expect(card["rows"][0]["cells"][4] == "SYS2061:" + MIDDLE_DOT * 3,
                      "control codes show as middle dots (%r)" % card["rows"][0]["cells"][4])
        unknown = tool.run(made["notes.txt"], "-v")
        card = cards.get("notes.txt") or {}
        checks.expect(card.get("error") == unknown.stderr.decode().splitlines()[0] and unknown.returncode == 1
                      and card.get("buttons") == [],
                      "a name of no kind says what mog says, and offers nothing (%r)" % (card,))
        card = cards.get("gone.d64") or {}
        gone = json.loads(page.json_download("gone.d64") or b"{}")
        checks.expect(str(card.get("error")).startswith("Cannot read file 'gone.d64': ") and
                      card.get("error") == gone.get("error") and gone.get("status") == 3 and
                      card.get("buttons") == ["JSON"],
                      "a file the browser cannot read says so in the tool's words (%r, %r)" % (card.get("error"), gone))
        checks.expect(cards.get("big.d64", {}).get("error") == "Cannot read file 'big.d64': File too large.",
                      "a file over %d bytes is refused before it is read" % MAX_FILE_SIZE)
        for name, kind in [("games.zip", "zip"), ("game.d64.gz", "gzip")]:
            card = cards.get(name) or {}
            checks.expect([card.get("kind"), card.get("error"), card.get("buttons")] == [kind, NOT_IN_PAGE, []] and
                          tool.run(made[name], "-v").returncode == 0,
                          "%s, which mog reads, is named as not read in the page (%r)" % (name, card))

        # Check on every file read, against mog --check -n YEAR: the same
        # status, and the start lines it lists marked.
        for name in ["half.d64", "archive.prg", "nosys.prg", "plain.p00", "random.p64", "zeros.d81", "shared.d64"]:
            page.button(name, "check").click()
            card = page.cards()[name]
            done = tool.run(made[name], "--check", "--json", "-n", str(year))
            lacking = [json.loads(line)["index"] for line in done.stdout.decode("utf-8").splitlines()[:-1]]
            shown = [card["status"], card["failed"], [row["index"] for row in card["rows"] if row["lacks"]]]
            checks.expect(shown == [str(done.returncode), done.returncode != 0, lacking] and card["outcome"],
                          "%s: Check fails as mog --check does (%r, %r: %r)" % (
                              name, shown, done.returncode, card["outcome"]))

        # Two entries that share a start line: one box unticks both, and the
        # line keeps its number as Enter for both keeps it with mog -i.
        page.type_line(STAMP)
        page.choose([made["shared.d64"]])
        page.card_element("shared.d64").find_element(By.CSS_SELECTOR, "tr[data-index='1'] input").send_keys(Keys.SPACE)
        rows = page.cards()["shared.d64"]["rows"]
        expected = tool.written(made["shared.d64"], "-i", "-n", STAMP, answers="\n\n" + (STAMP + "\n") * 6)
        checks.expect([row["set"] for row in rows[:2]] == [False, False] and page.stamp("shared.d64")[1] == expected
                      and rows[1]["cells"][6] == 'same start line as "HELLO"',
                      "entries that share a start line are ticked and kept together (%r)" % rows[:2])

        # Stamp with 1999: what mog -n 1999 writes, under its default name.
        page.type_line(STAMP)
        cards = page.choose([ROOT / path for path in STAMPED])
        for path in STAMPED:
            name = os.path.basename(path)
            offered, stamped = page.stamp(name)
            expected = tool.written(ROOT / path, "-n", STAMP)
            default = name[:-4] + ".out" + name[-4:].lower()
            checks.expect(offered == default and expected is not None and stamped == expected,
                          "%s: Stamp offers %r with the bytes of mog -n %s (%r, %d, %d bytes)" % (
                              path, default, STAMP, offered, len(stamped or b""), len(expected or b"")))

        # The four parts of a Zip-Code set: one card, named and listed as
        # mog lists the set by its first part, and the parts mog -n writes.
        cards = page.choose(ZIPCODE)
        records = tool.records(ZIPCODE[0])
        card = cards.get("1!sample")
        checks.expect(list(cards) == ["1!sample"] and shown_card(card) == expected_card("1!sample", records) and
                      page.json_download("1!sample") == records,
                      "the four parts of a Zip-Code set are one card, as mog -v --json 1!sample lists it (%r)" % (
                          sorted(cards),))
        offered = page.stamp_set("1!sample")
        expected = tool.set_written(ZIPCODE, "-n", STAMP)
        outcome = page.cards()["1!sample"]["outcome"]
        checks.expect(offered == expected and len(offered) == 4 and "1!sample.out (changed)" in outcome,
                      "Stamp offers the four parts mog -n %s writes, the changed one marked (%r, %r)" % (
                          STAMP, sorted(offered), outcome))
        page.button("1!sample", "check").click()
        done = tool.run(ZIPCODE[0], "--check", "-n", STAMP)
        card = page.cards()["1!sample"]
        checks.expect(card["status"] == str(done.returncode) == "4" and card["outcome"] == "8 start lines lack 1999.",
                      "Check says of the set what mog --check says (%r)" % card["outcome"])
        three = pathlib.Path(tempfile.mkdtemp(dir=scratch))
        for part in ZIPCODE[1:]:
            shutil.copyfile(part, three / part.name)
        cards = page.choose(sorted(three.iterdir()))
        card = cards.get("2!sample") or {}
        said = tool.run(three / "2!sample", "-v").stderr.decode().splitlines()
        checks.expect(said and card.get("error") == said[0].removeprefix("ERROR: ") == "File '1!sample' not found."
                      and card.get("buttons") == ["JSON"],
                      "a set with a part missing says which, as mog would if it were (%r)" % card.get("error"))

        # A name in capitals: the name mog itself gives its output.
        capitals = os.path.join(made_folder, "Demo.D64")
        shutil.copyfile(ROOT / "samples/sample.d64", capitals)
        page.choose([capitals])
        offered = page.stamp("Demo.D64")
        expected = tool.default_written(capitals, "-n", STAMP)
        checks.expect(expected is not None and offered == expected,
                      "Demo.D64: Stamp offers the file mog -n %s writes without a destination, under its name "
                      "(%r, %r)" % (STAMP, offered[0], expected and expected[0]))

        # Keeping one program, with the keyboard alone: mog -i's answers.
        disk = ROOT / "samples/sample.d64"
        page.choose([disk])
        box = page.card_element("sample.d64").find_element(By.CSS_SELECTOR,
                                                          "tr[data-index='%d'] input[name=set]" % KEPT_INDEX)
        box.send_keys(Keys.SPACE)
        page.card_element("sample.d64").find_element(By.CSS_SELECTOR, "button.stamp").send_keys(Keys.ENTER)
        focused = wait_for(driver, "const e = document.activeElement;"
                                   "return e && e.matches('a.stamped') && e.download;", WAIT_SECONDS)
        ActionChains(driver).send_keys(Keys.ENTER).perform()
        stamped = page.download(focused) if focused else None
        settable = [program["index"] for program in map(json.loads, tool.records(disk).splitlines())
                    if program.get("start_line")]
        answers = "".join("\n" if index == KEPT_INDEX else STAMP + "\n" for index in settable)
        expected = tool.written(disk, "-i", "-n", STAMP, answers=answers)
        checks.expect(stamped is not None and stamped == expected,
                      "a program left unticked keeps its line, as Enter does with mog -i (%r)" % focused)
        original = disk.read_bytes()
        differing = [at for at in range(len(original)) if stamped and original[at] != stamped[at]]
        checks.expect(stamped is not None and len(differing) == 2 * (len(settable) - 1),
                      "only the two line-number bytes of each set program differ (%d bytes)" % len(differing))

        # A line number out of range: the library's words, and nothing offered.
        page.type_line("70000")
        error = driver.find_element(By.ID, "line-error").text
        offered, _ = page.stamp("sample.d64")
        outcome = page.cards()["sample.d64"]["outcome"]
        checks.expect(error == "Line number above 65535." and offered is None and outcome == error,
                      "a line number above 65535 is refused (%r, %r)" % (error, outcome))
        page.type_line(STAMP)

        # The machines chosen reach the library: the C128's start line too.
        driver.find_element(By.CSS_SELECTOR, "input[name=machine][value=c128]").send_keys(Keys.SPACE)
        fixture = ROOT / "tests/fixtures/machines.d71"
        cards = page.choose([fixture])
        records = tool.records(fixture, "c64,c128")
        card = cards.get("machines.d71")
        settable = [row["cells"][0] for row in card["rows"] if row["settable"]] if card else None
        checks.expect(card is not None and shown_card(card) == expected_card("machines.d71", records) and
                      settable == ["C64", "C128"] and page.json_download("machines.d71") == records,
                      "with the C128 chosen, its program's start line is listed as mog --machine c64,c128 "
                      "lists it (%r)" % settable)

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
        shutil.rmtree(work, ignore_errors=True)

    print("%d passed, %d failed" % (checks.passed, len(checks.failures)))
    return 1 if checks.failures else 0


if __name__ == "__main__":
    sys.exit(main())
