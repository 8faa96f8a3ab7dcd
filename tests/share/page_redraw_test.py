#!/usr/bin/env python3
"""The family's page keeps what a relative is typing, in a real browser.

   page_redraw_test.py PAGE_DIR [SCREENSHOT.png]

Serves the page's own files (index.html, app.js, style.css) beside a small
scripted stand-in for the computer's API, so that each kind of redraw can be
set off at the moment a comment is half typed: another member's vote on the
same name, a new list with the same names, the typed name's advice changed,
a name added before it. After each the unsaved text, the focus and the
cursor must be where they were. Then the share ends: the page says
"分享已结束" and asks no more. Exits 77 (skipped) when Chromium, its driver
or Selenium is missing.
"""
import http.server
import json
import os
import shutil
import sys
import threading
import urllib.parse

SKIP = 77
SECRET = "s3cret"

try:
    from selenium import webdriver
    from selenium.webdriver.chrome.service import Service
    from selenium.webdriver.common.by import By
    from selenium.webdriver.common.keys import Keys
    from selenium.webdriver.support.ui import WebDriverWait
except ImportError:
    print("SKIP: python3-selenium is not installed")
    sys.exit(SKIP)

CHROMIUM, DRIVER = shutil.which("chromium"), shutil.which("chromedriver")
if not CHROMIUM or not DRIVER:
    print("SKIP: chromium or chromium-driver is not installed")
    sys.exit(SKIP)


def shared(name, recommend=80):
    return {"name": name, "sex": "female", "pinyin": "", "recommend": recommend, "meanings": [], "source": "",
            "warnings": []}


class Share:
    """What the stand-in serves; a change wakes the page's waiting request."""

    def __init__(self):
        self.changed = threading.Condition()
        self.names = [shared("曾语初"), shared("曾若溪")]
        self.list_version = 1
        self.votes = []
        self.ended = False

    def change(self, names=None, vote=None, ended=False):
        with self.changed:
            if names is not None:
                self.names = names
                self.list_version += 1
            if vote is not None:
                vote = dict(vote, sex="female", changed=len(self.votes) + 1, version=len(self.votes) + 1)
                self.votes.append(vote)
            self.ended = self.ended or ended
            self.changed.notify_all()


def handler(share, page_dir):
    class Handler(http.server.BaseHTTPRequestHandler):
        def log_message(self, *args):
            pass

        def reply(self, status, body, kind):
            data = body if isinstance(body, bytes) else json.dumps(body).encode()
            self.send_response(status)
            self.send_header("Content-Type", kind)
            self.send_header("Content-Length", str(len(data)))
            self.end_headers()
            self.wfile.write(data)

        def do_GET(self):
            url = urllib.parse.urlsplit(self.path)
            query = dict(urllib.parse.parse_qsl(url.query))
            path = url.path.removeprefix("/" + SECRET + "/")
            files = {"": ("index.html", "text/html"), "app.js": ("app.js", "text/javascript"),
                     "style.css": ("style.css", "text/css"), "icon.svg": ("icon.svg", "image/svg+xml")}
            if path in files:
                name, kind = files[path]
                with open(os.path.join(page_dir, name), "rb") as f:
                    return self.reply(200, f.read(), kind + "; charset=utf-8")
            if path == "api/names":
                with share.changed:
                    return self.reply(200, {"listVersion": share.list_version, "names": share.names},
                                      "application/json")
            if path == "api/votes":
                since, known = int(query.get("since", 0)), int(query.get("list", -1))
                with share.changed:
                    share.changed.wait_for(lambda: share.ended or len(share.votes) > since or
                                           share.list_version != known, timeout=20)
                    if share.ended:
                        return self.reply(410, {"ended": True}, "application/json")
                    return self.reply(200, {"version": len(share.votes), "listVersion": share.list_version,
                                            "more": False, "votes": share.votes[since:]}, "application/json")
            self.reply(404, b"", "text/plain")

    return Handler


def main():
    page_dir = sys.argv[1]
    share = Share()
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), handler(share, page_dir))
    server.daemon_threads = True
    threading.Thread(target=server.serve_forever, daemon=True).start()
    options = webdriver.ChromeOptions()
    options.binary_location = CHROMIUM
    for argument in ("--headless=new", "--no-sandbox", "--disable-gpu", "--disable-dev-shm-usage",
                     "--window-size=390,844", "--lang=zh-CN"):
        options.add_argument(argument)
    driver = webdriver.Chrome(service=Service(DRIVER), options=options)
    try:
        driver.get("http://127.0.0.1:%d/%s/" % (server.server_address[1], SECRET))
        wait = WebDriverWait(driver, 10, poll_frequency=0.05)
        wait.until(lambda d: len(d.find_elements(By.CSS_SELECTOR, "#names article")) == 2)
        driver.find_element(By.ID, "member").send_keys("奶奶")
        driver.find_element(By.CSS_SELECTOR, "#join-form button").click()

        def box():
            for card in driver.find_elements(By.CSS_SELECTOR, "#names article"):
                if card.find_element(By.CSS_SELECTOR, ".name").text == "曾语初":
                    return card.find_element(By.TAG_NAME, "textarea")
            raise AssertionError("曾语初 is no longer shown")

        others = [shared("曾语初"), shared("曾若溪")]
        # Each redraw, and what shows that the page has drawn it.
        cases = [
            ("another member's vote on the name",
             lambda: share.change(vote={"member": "爷爷", "name": "曾语初", "rating": 3, "comment": "太常见了"}),
             lambda d: "太常见了" in d.find_element(By.CSS_SELECTOR, "#names").text),
            ("a new list of the same names",
             lambda: share.change(names=others),
             lambda d: d.execute_script("return performance.getEntriesByType('resource')"
                                        ".filter(e => e.name.endsWith('api/names')).length") >= 2),
            ("the typed name's advice changed",
             lambda: share.change(names=[shared("曾语初", 91), shared("曾若溪")]),
             lambda d: "推荐度 91" in d.find_element(By.CSS_SELECTOR, "#names").text),
            ("a name added before it",
             lambda: share.change(names=[shared("曾子衿"), shared("曾语初", 91), shared("曾若溪")]),
             lambda d: len(d.find_elements(By.CSS_SELECTOR, "#names article")) == 3),
        ]
        draft = "语初这个名字很温柔，就是"
        typed = ""
        for what, redraw, drawn in cases:
            typed += draft if not typed else "再想想"
            field = box()
            field.click()
            field.send_keys(Keys.END, draft if typed == draft else "再想想", Keys.LEFT, Keys.LEFT)
            redraw()
            wait.until(drawn, what)
            field = box()
            assert field.get_attribute("value") == typed, (what, field.get_attribute("value"))
            assert driver.switch_to.active_element == field, what + ": the box lost the focus"
            cursor = driver.execute_script("return arguments[0].selectionStart", field)
            assert cursor == len(typed) - 2, (what, cursor, len(typed))
            print("kept while typing: " + what)

        share.change(ended=True)
        wait.until(lambda d: d.find_element(By.ID, "status").text == "分享已结束")
        assert box().get_attribute("value") == typed, "the draft went when the share ended"
        if len(sys.argv) > 2:
            driver.save_screenshot(sys.argv[2])
        print("the page says the share ended, and keeps the draft")
    finally:
        driver.quit()
        server.shutdown()


if __name__ == "__main__":
    main()
