# The counter page in a real Chromium, headless, against a real itinerary-web on loopback:
# login, the import against itinerary-cli's, the entry rules as typed, the passenger buttons,
# printing (journal rows, the printed document's page and the receipt's place), the journal
# view, logout and a session that expires under a typed sheet. Screenshots of the sheet, the
# paste box and the journal go to --out.
import argparse
import json
import os
import subprocess
import sys
import time
import urllib.error
import urllib.request

from selenium.webdriver.common.by import By
from selenium.webdriver.common.keys import Keys

from counter_page_fixture import PASSWORD, CounterPage, CounterServer, chromium, cli_import

BOOKING = "bookings/two_passengers_separate_lines.txt"
COUNTER = "2号柜台"
FIRST_CODE = 7000
MM_PER_PX = 25.4 / 300

# field, text typed, caret before the last keys (None: at the end), last keys, text shown
TYPING = [
    (36, "abc：1", None, "", "ABC:1"),  # upper case and the full-width colon as typed
    (36, "xy", 1, "ab", "XABY"),  # typing in the middle keeps the caret where it was
    (3, " jx8k2p", None, "", "JX8K2P"),  # the record code without blanks, mirrored into 4
]
# The change rule as the page applies it to an edit: field, text typed, caret after typing,
# text kept, caret kept (the window's rule: upper case per character, one for one).
RULE = [
    (36, "straße", 6, "STRAßE", 6),  # ß has no upper case of one letter: it stays
    (36, "ᾳ", 1, "ᾼ", 1),  # the simple upper case, not the browser's two letters
    (36, "１２：", 3, "１２:", 3),  # full-width digits stay outside the check code
    (35, "１２３４", 4, "1234", 4),
    (3, "  ab", 4, "AB", 2),  # the mirror's trim moves the caret left by the blanks
    (4, "xy ", 3, "XY", 2),  # and an edit of field 4 comes back trimmed from field 3
]
APPLY_RULE = """
const [rows, done] = arguments;
import('/changeRule.js').then((rule) => done(rows.map(([index, typed, caret]) => {
  const edit = rule.operatorEdit(new Array(59).fill(''), index, typed, caret);
  return [index, typed, caret, edit.texts[index], edit.caret];
})));"""
# switch (0 domestic), fare field left, text typed, the field after leaving, the total
LEAVING = [
    (0, 30, "1200", "CNY 1200.00", "CNY 1310.00"),
    (1, 31, "70", "70", "CNY 1310.00"),  # international: leaving changes nothing
    (0, 31, "cn 50", "CN 50.00", "CNY 1310.00"),
]


def retype(page, index, text, caret=None, keys=""):
    field = page.field(index)
    field.click()
    page.d.execute_script("arguments[0].select()", field)
    field.send_keys(text or Keys.BACKSPACE)
    if caret is not None:
        page.d.execute_script("arguments[0].setSelectionRange(arguments[1], arguments[1])", field,
                              caret)
    if keys:
        field.send_keys(keys)


def ink_box_pgm(path):
    """The bounding box of dark pixels of a greyscale PGM, in pixels."""
    with open(path, "rb") as f:
        data = f.read()
    magic, width, height, _, pixels = data.split(maxsplit=4)
    assert magic == b"P5"
    width, height = int(width), int(height)
    rows = [y for y in range(height) if min(pixels[y * width:(y + 1) * width]) < 128]
    columns = [x for x in range(width) if min(pixels[x::width]) < 128]
    return columns[0], rows[0], columns[-1], rows[-1]


CANVAS_INK = """
const c = document.querySelector('#printView canvas');
const d = c.getContext('2d').getImageData(0, 0, c.width, c.height).data;
let box = [c.width, c.height, -1, -1];
for (let y = 0; y < c.height; ++y)
  for (let x = 0; x < c.width; ++x)
    if (d[(y * c.width + x) * 4] < 128 && d[(y * c.width + x) * 4 + 3] > 0)
      box = [Math.min(box[0], x), Math.min(box[1], y), Math.max(box[2], x), Math.max(box[3], y)];
return box;"""


def check_printed_document(page, paper, left_mm, top_mm, folder):
    """The document the browser prints has the form's page size and the receipt at the
    counter's offsets."""
    pdf = os.path.join(folder, "printed.pdf")
    page.print_to_pdf(pdf)
    info = subprocess.run(["pdfinfo", pdf], check=True, capture_output=True, text=True).stdout
    size = next(line for line in info.splitlines() if line.startswith("Page size"))
    width_mm, height_mm = (float(v) * 25.4 / 72 for v in size.split()[2:5:2])
    assert abs(width_mm - paper["widthMm"]) <= 0.5 and abs(height_mm - paper["heightMm"]) <= 0.5, size
    subprocess.run(["pdftoppm", "-r", "300", "-gray", "-singlefile", pdf,
                    os.path.join(folder, "printed")], check=True)
    printed = ink_box_pgm(os.path.join(folder, "printed.pgm"))
    picture = page.d.execute_script(CANVAS_INK)
    shift = (left_mm / MM_PER_PX, top_mm / MM_PER_PX) * 2
    for edge, at, expected in zip("left top right bottom".split(), printed, picture):
        off = abs(at - expected - shift[0 if edge in ("left", "right") else 1]) * MM_PER_PX
        assert off <= 0.5, f"the receipt's {edge} edge is {off:.2f} mm from the counter's offset"


def check_session_ended(base, cookie):
    request = urllib.request.Request(base + "api/me", headers={"Cookie": f"itinerary_session={cookie}"})
    try:
        urllib.request.urlopen(request, timeout=10)
    except urllib.error.HTTPError as refused:
        assert refused.code == 401
        return
    raise AssertionError("the session still answers after logout")


def run(args):
    server = CounterServer(args.web)
    server.add_user("agent1", "agent")
    server.add_counter("1号柜台", "0001", "0", "0", "agent1")
    server.add_counter(COUNTER, str(FIRST_CODE), "2", "1", "agent1")
    server.start()
    expiring = None
    driver = chromium()
    page = CounterPage(driver)
    shot = lambda name: driver.save_screenshot(os.path.join(args.out, name + ".png"))
    try:
        driver.get(server.base)
        page.wait(lambda: page.named("user").is_displayed())
        page.named("user").send_keys("agent1")
        page.named("password").send_keys("wrong-password")
        page.action("login").click()
        page.wait(lambda: "用户名或密码错误" in driver.find_element(By.ID, "loginMessage").text)
        page.named("password").clear()
        page.login("agent1", COUNTER)
        assert page.value(35) == str(FIRST_CODE)
        shot("sheet-empty")
        applied = driver.execute_async_script(APPLY_RULE, [row[:3] for row in RULE])
        assert [tuple(row) for row in applied] == RULE, applied

        with open(os.path.join(args.data, BOOKING), encoding="utf-8") as f:
            booking = f.read()
        page.paste(booking)
        shot("import")
        page.action("import").click()
        expected = cli_import(args.cli, os.path.join(args.data, BOOKING))
        page.wait(lambda: page.value(0) == expected["fields"][0])
        values = page.values()
        today = time.localtime()
        assert values[35] == str(FIRST_CODE) and values[40] == f"{today.tm_year}-{today.tm_mon}-{today.tm_mday}"
        for index, (shown, imported) in enumerate(zip(values, expected["fields"])):
            assert index in (35, 40) or shown == imported, (index, shown, imported)
        shot("sheet")

        for index, typed, caret, keys, shown in TYPING:
            retype(page, index, typed, caret, keys)
            assert page.value(index) == shown, (index, page.value(index), shown)
        assert page.value(4) == "JX8K2P"
        for intl, index, typed, shown, total in LEAVING:
            driver.find_element(By.CSS_SELECTOR, f'[data-intl="{intl}"]').click()
            retype(page, index, typed)
            page.field(index).send_keys(Keys.TAB)
            page.wait(lambda: page.value(index) == shown and page.value(33) == total)

        passengers = expected["passengers"]
        page.action("next").click()
        page.wait(lambda: page.value(0) == passengers[1][0])
        assert [page.value(i) for i in (1, 34)] == passengers[1][1:]
        assert not page.action("next").is_enabled() and page.action("previous").is_enabled()
        page.action("previous").click()
        page.wait(lambda: page.value(0) == passengers[0][0])

        # A refused check code is told and stays as typed; the counter's stays the counter's.
        retype(page, 35, "12")
        page.field(36).click()
        page.wait(lambda: "验证码" in driver.find_element(By.ID, "messageText").text)
        page.action("message-ok").click()
        assert page.value(35) == "12"
        retype(page, 35, str(FIRST_CODE))

        # The arrows move the counter's print position a millimetre at a time.
        page.action("nudge-right").click()
        page.action("nudge-down").click()
        counter = lambda: json.loads(page.api(f"/api/counter?name={COUNTER}")[1])
        page.wait(lambda: (counter()["left"], counter()["top"]) == ("3", "2"))

        page.count_prints()
        page.action("print").click()
        page.wait(lambda: page.prints() == 1 and page.value(35) == str(FIRST_CODE + 1))
        row = page.journal_rows()[0]
        assert (row["checkCode"], row["counter"], row["user"], row["name"], row["outcome"]) == (
            str(FIRST_CODE), COUNTER, "agent1", passengers[0][0], "sent to the browser"), row
        form = json.loads(page.api("/api/form")[1])
        check_printed_document(page, form["paper"], 3, 2, args.out)

        page.action("print-all").click()
        page.wait(lambda: page.prints() == 2 and page.value(35) == str(FIRST_CODE + 3))
        rows = page.journal_rows()
        assert [(r["checkCode"], r["name"]) for r in rows[:2]] == [
            (str(FIRST_CODE + 2), passengers[1][0]), (str(FIRST_CODE + 1), passengers[0][0])], rows[:2]
        assert len(driver.find_elements(By.CSS_SELECTOR, "#printView .print-page")) == 2
        assert page.value(0) == passengers[1][0]

        page.action("journal").click()
        page.wait(lambda: len(driver.find_elements(By.CSS_SELECTOR, "#journalTable tbody tr")) == 3)
        shot("journal")
        codes = [r.find_elements(By.TAG_NAME, "td")[5].text
                 for r in driver.find_elements(By.CSS_SELECTOR, "#journalTable tbody tr")]
        assert codes == [str(FIRST_CODE + i) for i in (2, 1, 0)], codes
        driver.find_elements(By.CSS_SELECTOR, "#journalTable tbody tr")[2].click()
        page.action("journal-load").click()
        page.wait(lambda: page.value(0) == passengers[0][0])
        assert page.value(35) == str(FIRST_CODE + 3)  # a reprint keeps the counter's code

        cookie = driver.get_cookie("itinerary_session")["value"]
        page.action("logout").click()
        page.wait(lambda: page.named("user").is_displayed())
        check_session_ended(server.base, cookie)

        # A second instance on the same database whose sessions end after two idle seconds.
        expiring = CounterServer(args.web, server.folder).start("--session-idle", "2")
        driver.get(expiring.base)
        page.login("agent1", COUNTER)
        retype(page, 0, "zhang/san")
        retype(page, 30, "500")
        time.sleep(2.5)
        page.field(30).send_keys(Keys.TAB)
        page.wait(lambda: "登录已过期" in driver.find_element(By.ID, "loginMessage").text)
        assert page.value(0) == "ZHANG/SAN" and page.value(30) == "500"
        page.named("password").send_keys(PASSWORD)
        page.action("login").click()
        page.wait(lambda: page.value(30) == "CNY 500.00" and page.value(33) == "CNY 500.00")
        assert page.value(0) == "ZHANG/SAN"
    except Exception:
        shot("failure")
        raise
    finally:
        driver.quit()
        server.stop()
        if expiring:
            expiring.stop()


if __name__ == "__main__":
    parser = argparse.ArgumentParser()
    for option in ("--web", "--cli", "--data", "--out"):
        parser.add_argument(option, required=True)
    arguments = parser.parse_args()
    os.makedirs(arguments.out, exist_ok=True)
    t0 = time.perf_counter()
    run(arguments)
    print(f"counter page checks passed in {time.perf_counter() - t0:.1f} s")
    sys.exit(0)
