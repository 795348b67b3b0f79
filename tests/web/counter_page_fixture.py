# The counter page's surroundings for its browser test and its timings: a real itinerary-web
# on loopback with a database of its own (users and counters made by its own commands), and
# Debian's Chromium driven headless by chromedriver.
import base64
import json
import os
import subprocess
import tempfile
import time

from selenium import webdriver
from selenium.webdriver.chrome.service import Service
from selenium.common.exceptions import NoSuchElementException, StaleElementReferenceException
from selenium.webdriver.common.by import By
from selenium.webdriver.support.ui import WebDriverWait

PASSWORD = "counter-secret-1"


class CounterServer:
    """itinerary-web with its own settings folder and SQLite database."""

    def __init__(self, web, folder=None):
        self.web = web
        self.folder = folder or tempfile.mkdtemp(prefix="counterpage-")
        self.database = "sqlite:///" + os.path.join(self.folder, "web.sqlite")
        self.env = dict(os.environ, XDG_CONFIG_HOME=self.folder)
        self.process = None
        self.base = None

    def command(self, *args, stdin=""):
        subprocess.run([self.web, *args, "--database", self.database], input=stdin.encode(),
                       env=self.env, check=True, capture_output=True, timeout=60)

    def add_user(self, name, role):
        self.command("adduser", name, "--role", role, stdin=PASSWORD + "\n")

    def add_counter(self, name, check_code, left, top, agents):
        self.command("addcounter", name, "--check-code", check_code, "--left", left, "--top", top,
                     "--agents", agents)

    def start(self, *options):
        self.process = subprocess.Popen(
            [self.web, "--listen", "127.0.0.1:0", "--database", self.database, *options],
            env=self.env, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
        first = self.process.stdout.readline().strip()
        if not first:
            raise RuntimeError("itinerary-web did not start")
        self.base = (first if first.startswith("http") else "http://" + first).rstrip("/") + "/"
        return self

    def stop(self):
        if self.process:
            self.process.terminate()
            self.process.wait(timeout=30)


def chromium(width=1400, height=800):
    options = webdriver.ChromeOptions()
    options.binary_location = "/usr/bin/chromium"
    for argument in ("--headless=new", "--no-sandbox", f"--window-size={width},{height}",
                     "--lang=zh-CN", "--disable-gpu"):
        options.add_argument(argument)
    return webdriver.Chrome(service=Service("/usr/bin/chromedriver"), options=options)


class CounterPage:
    """The page's handles as the agency's own scripts use them."""

    def __init__(self, driver):
        self.d = driver

    def wait(self, condition, timeout=15):
        # A reload (logout) may replace an element between finding it and reading it.
        return WebDriverWait(self.d, timeout, poll_frequency=0.02,
                             ignored_exceptions=(NoSuchElementException, StaleElementReferenceException)
                             ).until(lambda _: condition())

    def action(self, name):
        return self.d.find_element(By.CSS_SELECTOR, f'[data-action="{name}"]')

    def field(self, index):
        return self.d.find_element(By.CSS_SELECTOR, f'[data-field="{index}"]')

    def value(self, index):
        return self.field(index).get_property("value")

    def values(self):
        return self.d.execute_script(
            "return [...document.querySelectorAll('[data-field]')]"
            ".sort((a, b) => a.dataset.field - b.dataset.field).map((i) => i.value)")

    def named(self, name):
        return self.d.find_element(By.NAME, name)

    def login(self, user, counter=None):
        self.wait(lambda: self.named("user").is_displayed())
        self.named("user").clear()
        self.named("user").send_keys(user)
        self.named("password").send_keys(PASSWORD)
        self.action("login").click()
        if counter:
            self.wait(lambda: self.named("counter").is_displayed())
            self.d.execute_script("arguments[0].value = arguments[1]", self.named("counter"), counter)
            self.action("login").click()
        self.wait(lambda: self.d.find_element(By.ID, "counterApp").is_displayed()
                  and self.value(35) != "")

    def paste(self, text):
        self.action("pnr-import").click()
        box = self.named("booking")
        self.wait(box.is_displayed)
        self.d.execute_script("arguments[0].value = arguments[1]", box, text)

    def count_prints(self):
        # The browser's own print would wait for a dialog: the page's call is counted instead,
        # and what it would print is printed to PDF below.
        self.d.execute_script(
            "window.__prints = []; window.print = () => window.__prints.push(performance.now())")

    def prints(self):
        return len(self.d.execute_script("return window.__prints"))

    def print_to_pdf(self, path):
        answer = self.d.execute_cdp_cmd("Page.printToPDF",
                                        {"preferCSSPageSize": True, "printBackground": True})
        with open(path, "wb") as f:
            f.write(base64.b64decode(answer["data"]))

    def api(self, path):
        """A GET of the API with the page's own session."""
        return self.d.execute_async_script(
            "const done = arguments[arguments.length - 1];"
            "fetch(arguments[0]).then(async (a) => done([a.status, await a.text()]))", path)

    def journal_rows(self):
        status, body = self.api("/api/journal")
        assert status == 200, body
        return json.loads(body)["rows"]


def cli_import(cli, booking_file):
    out = subprocess.run([cli, "import", booking_file], check=True, capture_output=True, timeout=60)
    return json.loads(out.stdout)


def since(t0):
    return (time.perf_counter() - t0) * 1000
