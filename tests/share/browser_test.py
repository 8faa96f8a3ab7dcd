#!/usr/bin/env python3
"""The family's page in a real browser (headless Chromium through its driver).

   browser_test.py TAVRIN_CLI WORK_DIR [SCREENSHOT.png]

Keeps three favourites in a new store, shares them with `tavrin-cli serve`,
and then, as two members of the family in two browser profiles: gives a
name, rates a name and comments on it, and checks that both pages show the
votes, the comments and the ranking, and that the browser refused nothing
under the page's Content-Security-Policy. Ends the share with SIGTERM:
both pages say it ended, and the link is dead. Exits 77 (skipped) when Chromium, its driver or
Selenium is missing.
"""
import os
import shutil
import signal
import subprocess
import sys
import time
import urllib.error
import urllib.request

SKIP = 77


def skip(why):
    print("SKIP: " + why + " (scripts/dev.sh test installs chromium, chromium-driver and python3-selenium)")
    sys.exit(SKIP)


try:
    from selenium import webdriver
    from selenium.webdriver.chrome.service import Service
    from selenium.webdriver.common.by import By
    from selenium.webdriver.support.ui import WebDriverWait
except ImportError:
    skip("python3-selenium is not installed")

CHROMIUM = shutil.which("chromium")
DRIVER = shutil.which("chromedriver")
if not CHROMIUM:
    skip("chromium is not installed")
if not DRIVER:
    skip("chromium-driver is not installed")


def browser(profile):
    options = webdriver.ChromeOptions()
    options.binary_location = CHROMIUM
    for argument in ("--headless=new", "--no-sandbox", "--disable-gpu", "--disable-dev-shm-usage",
                     "--window-size=390,844", "--lang=zh-CN", "--user-data-dir=" + profile):
        options.add_argument(argument)
    options.set_capability("goog:loggingPrefs", {"browser": "ALL"})
    return webdriver.Chrome(service=Service(DRIVER), options=options)


def cards(driver):
    return driver.find_elements(By.CSS_SELECTOR, "#names article")


def join(driver, member):
    WebDriverWait(driver, 15).until(lambda d: len(cards(d)) == 3)
    field = driver.find_element(By.ID, "member")
    field.clear()
    field.send_keys(member)
    driver.find_element(By.CSS_SELECTOR, "#join-form button").click()
    WebDriverWait(driver, 5).until(lambda d: d.find_element(By.ID, "join").get_attribute("hidden") is not None)


def vote(driver, card_index, stars, comment):
    card = cards(driver)[card_index]
    if comment:
        card.find_element(By.TAG_NAME, "textarea").send_keys(comment)
    card.find_elements(By.CSS_SELECTOR, ".stars button")[stars - 1].click()
    WebDriverWait(driver, 5).until(lambda d: cards(d)[card_index].find_element(By.CSS_SELECTOR, ".note").text == "已保存")


def card_text(driver, index):
    return cards(driver)[index].text


def main():
    cli, work = sys.argv[1], sys.argv[2]
    screenshot = sys.argv[3] if len(sys.argv) > 3 else None
    shutil.rmtree(work, ignore_errors=True)
    os.makedirs(work)
    store = os.path.join(work, "favourites.db")
    env = dict(os.environ, LC_ALL="C.UTF-8")
    for name, sex in (("王秀林", "female"), ("王子衿", "female"), ("王若溪", "female")):
        subprocess.run([cli, "favourites", "add", name, "--sex", sex, "--date", "2026-03-01", "--store", store],
                       check=True, env=env, stdout=subprocess.DEVNULL)
    server = subprocess.Popen([cli, "serve", "--store", store], stdout=subprocess.PIPE, text=True, env=env)
    drivers = []
    try:
        url = None
        for line in server.stdout:
            if line.startswith("http://127.0.0.1:"):
                url = line.strip()
                break
        assert url, "serve printed no address"

        grandpa = browser(os.path.join(work, "profile-grandpa"))
        drivers.append(grandpa)
        grandpa.get(url)
        join(grandpa, "爷爷")
        vote(grandpa, 0, 4, "好听，有诗意")
        text = card_text(grandpa, 0)
        assert "爷爷" in text and "好听，有诗意" in text and "★★★★☆" in text, text
        assert "全家平均 4.0 星" in text, text
        first, second = (card.find_element(By.CSS_SELECTOR, ".name").text for card in cards(grandpa)[:2])
        assert grandpa.find_element(By.ID, "ranking").text.startswith(first)

        # Another member, in a profile of their own, sees grandpa's vote and
        # adds theirs; grandpa's page shows it without being reloaded.
        grandma = browser(os.path.join(work, "profile-grandma"))
        drivers.append(grandma)
        grandma.get(url)
        WebDriverWait(grandma, 10).until(lambda d: len(cards(d)) == 3 and "好听，有诗意" in card_text(d, 0))
        join(grandma, "奶奶")
        vote(grandma, 1, 5, "")
        started = time.monotonic()
        WebDriverWait(grandpa, 5, poll_frequency=0.05).until(lambda d: "奶奶" in card_text(d, 1))
        seen_after = time.monotonic() - started
        print("a vote reached the other page in %.0f ms" % (seen_after * 1000))
        assert seen_after < 1.0, seen_after
        ranking = grandpa.find_element(By.ID, "ranking").text.splitlines()
        assert ranking[0].startswith(second) and ranking[1].startswith(first), ranking

        # The name is remembered: a reload asks for it no more.
        grandpa.refresh()
        WebDriverWait(grandpa, 10).until(lambda d: len(cards(d)) == 3)
        assert "您是：爷爷" in grandpa.find_element(By.ID, "who").text

        for driver in drivers:
            refused = [entry["message"] for entry in driver.get_log("browser")
                       if "Content Security Policy" in entry["message"] or entry["level"] == "SEVERE"]
            assert not refused, refused
        if screenshot:
            grandpa.execute_script("window.scrollTo(0, 0)")
            grandpa.save_screenshot(screenshot)

        # The share ends while both pages wait for news: they say so, rather
        # than that they cannot reach the computer.
        server.send_signal(signal.SIGTERM)
        for driver in drivers:
            WebDriverWait(driver, 10).until(lambda d: d.find_element(By.ID, "status").text == "分享已结束")
    finally:
        for driver in drivers:
            driver.quit()
        server.send_signal(signal.SIGTERM)
        rest, _ = server.communicate(timeout=30)
    assert server.returncode == 0, server.returncode
    assert "已停止分享" in rest, rest
    try:
        urllib.request.urlopen(url, timeout=5)
        raise AssertionError("the link still answers after the share stopped")
    except (urllib.error.URLError, ConnectionError):
        pass
    print("the family's page: 2 members voted and commented, both pages agree, the link died with the share")


if __name__ == "__main__":
    main()
