# The counter page's timings in headless Chromium against itinerary-web on loopback, each the
# median of N runs, measured in the page (performance.now()):
#   first paint  - "登录" pressed to the sheet painted with the counter's check code in it
#   login        - of which the login request itself (the server checks the password hash)
#   import       - "导入" pressed to the filled sheet painted
#   print        - "打印" pressed to the browser's print asked for with the receipt in view
# Its last line: "median first_paint=MS login=MS import=MS print=MS runs=N".
import argparse
import os
import statistics
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tests", "web"))
from counter_page_fixture import PASSWORD, CounterPage, CounterServer, chromium  # noqa: E402

# Resolves with the milliseconds from the click on `action` to the frame painted after
# `ready()` first holds.
CLICK_TO_PAINT = """
const [action, condition, done] = arguments;
const ready = {
  sheet: () => !document.getElementById('counterApp').hidden &&
               document.querySelector('[data-field="35"]').value !== '',
  filled: () => document.querySelector('[data-field="34"]').value !== '',
  printed: () => window.__prints.length > 0 && document.querySelector('#printView canvas'),
}[condition];
const t0 = performance.now();
document.querySelector(`[data-action="${action}"]`).click();
const poll = () => ready() ? requestAnimationFrame(() => setTimeout(() => done(performance.now() - t0)))
                           : setTimeout(poll, 0);
poll();"""


def measure(page, action, ready):
    return page.d.execute_async_script(CLICK_TO_PAINT, action, ready)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--web", required=True)
    parser.add_argument("--booking", required=True)
    parser.add_argument("--runs", type=int, default=20)
    args = parser.parse_args()
    with open(args.booking, encoding="utf-8") as f:
        booking = f.read()

    server = CounterServer(args.web)
    server.add_user("agent", "agent")
    server.add_counter("柜台", "0001", "0", "0", "agent")
    server.start()
    driver = chromium()
    page = CounterPage(driver)
    times = {"first_paint": [], "login": [], "import": [], "print": []}
    try:
        driver.set_script_timeout(30)
        driver.get(server.base)
        for run in range(args.runs):
            page.wait(lambda: page.named("user").is_displayed())
            page.named("user").clear()
            page.named("user").send_keys("agent")
            page.named("password").send_keys(PASSWORD)
            times["first_paint"].append(measure(page, "login", "sheet"))
            times["login"].append(driver.execute_script(
                "return performance.getEntriesByType('resource')"
                ".filter((e) => e.name.endsWith('/api/login')).pop().duration"))
            page.paste(booking)
            times["import"].append(measure(page, "import", "filled"))
            page.count_prints()
            times["print"].append(measure(page, "print", "printed"))
            page.action("logout").click()
            page.wait(lambda: page.named("user").is_displayed())
            print(f"run {run + 1}: " + " ".join(f"{k}={v[-1]:.1f}" for k, v in times.items()),
                  file=sys.stderr)
    finally:
        driver.quit()
        server.stop()
    print("median " + " ".join(f"{k}={statistics.median(v):.1f}" for k, v in times.items()) +
          f" runs={args.runs}")


if __name__ == "__main__":
    main()
