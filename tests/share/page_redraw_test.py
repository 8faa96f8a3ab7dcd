#!/usr/bin/env python3
"""page_redraw_test.py PAGE_DIR WORK_DIR: the family's page, beside a scripted
stand-in for its API, keeps a half-typed comment, its focus and its cursor when
the list comes again, changed or not, and then says "分享已结束"."""
import http.server
import json
import os
import sys
import threading

from browser_test import By, WebDriverWait, browser, cards
from selenium.webdriver.common.keys import Keys

state = {"names": [], "list": 0, "votes": [], "ended": False}
changed = threading.Condition()
FILES = {"/s/": ("index.html", "text/html"), "/s/app.js": ("app.js", "text/javascript"),
         "/s/style.css": ("style.css", "text/css")}


def shared(name, recommend=80):
    return {"name": name, "sex": "female", "pinyin": "", "recommend": recommend, "meanings": [], "source": "",
            "warnings": []}


def change(**what):
    with changed:
        state["list"] += "names" in what
        state.update(what)
        changed.notify_all()


class Api(http.server.BaseHTTPRequestHandler):
    def log_message(self, *args):
        pass

    def do_GET(self):
        path, _, query = self.path.partition("?")
        status, kind = 200, "application/json"
        if path in FILES:
            name, kind = FILES[path]
            with open(os.path.join(sys.argv[1], name), "rb") as f:
                body = f.read()
        elif path == "/s/api/names":
            body = json.dumps({"listVersion": state["list"], "names": state["names"]}).encode()
        elif path != "/s/api/votes":
            return self.send_error(404)
        else:  # the votes, once there is news
            asked = {k: int(v) for k, v in (p.split("=") for p in query.split("&"))}
            with changed:
                changed.wait_for(lambda: state["ended"] or len(state["votes"]) > asked["since"] or
                                 state["list"] != asked["list"], timeout=20)
            status = 410 if state["ended"] else 200
            body = json.dumps({"version": len(state["votes"]), "listVersion": state["list"], "more": False,
                               "votes": state["votes"][asked["since"]:]}).encode()
        self.send_response(status)
        self.send_header("Content-Type", kind + "; charset=utf-8")
        self.end_headers()
        self.wfile.write(body)


def main():
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Api)
    threading.Thread(target=server.serve_forever, daemon=True).start()
    change(names=[shared("曾语初"), shared("曾若溪")])
    driver = browser(os.path.join(sys.argv[2], "profile"))
    try:
        driver.get("http://127.0.0.1:%d/s/" % server.server_address[1])
        wait = WebDriverWait(driver, 10, poll_frequency=0.05)
        wait.until(lambda d: len(cards(d)) == 2)
        driver.find_element(By.ID, "member").send_keys("奶奶", Keys.ENTER)
        box = lambda: next(c for c in cards(driver) if "曾语初" in c.text).find_element(By.TAG_NAME, "textarea")
        lists = "return performance.getEntriesByType('resource').filter(e => e.name.endsWith('names')).length"
        redraws = [  # what sets each redraw off, and what shows that it was drawn
            (lambda: change(names=list(state["names"])), lambda d: d.execute_script(lists) == 2),
            (lambda: change(names=[shared("曾子衿"), shared("曾语初", 91), shared("曾若溪")]),
             lambda d: len(cards(d)) == 3 and "推荐度 91" in d.page_source),
        ]
        for number, (redraw, drawn) in enumerate(redraws):
            box().click()
            box().send_keys(Keys.END, ["语初很温柔", "，就是"][number], Keys.LEFT)
            typed = box().get_attribute("value")
            redraw()
            wait.until(drawn)
            assert box().get_attribute("value") == typed, (number, box().get_attribute("value"))
            assert driver.switch_to.active_element == box(), "redraw %d took the focus" % number
            assert driver.execute_script("return arguments[0].selectionStart", box()) == len(typed) - 1, number
        change(ended=True)
        wait.until(lambda d: d.find_element(By.ID, "status").text == "分享已结束")
        assert box().get_attribute("value") == typed
        print("a comment half typed through two redraws and the end of the share was kept")
    finally:
        driver.quit()
        server.shutdown()


if __name__ == "__main__":
    main()
