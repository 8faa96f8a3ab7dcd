#!/usr/bin/env python3
"""The serving process killed while the family votes.

   kill_test.py TAVRIN_CLI WORK_DIR [KILLS]

Shares a store with `tavrin-cli serve`, lets four voters post votes as fast
as the server takes them, and kills the server with SIGKILL at a random
moment after its first acknowledged vote; then serves the same store again,
KILLS times (30 unless told). Each voter is a member of its own in each
life (a share takes only a few members from one phone), so a vote replaces
only that voter's earlier one on the same name. At the end the store holds,
for each member and name, the last vote the server acknowledged (HTTP 200),
or the one sent after it that the kill left unanswered, with its rating and
comment; and SQLite finds the store sound (PRAGMA integrity_check).
"""
import http.client
import json
import os
import random
import shutil
import signal
import sqlite3
import subprocess
import sys
import threading
import time
import urllib.error
import urllib.request

NAMES = (("李若溪", "female"), ("李子衿", "female"))
VOTERS = 4


def start(cli, store, env):
    server = subprocess.Popen([cli, "serve", "--store", store], stdout=subprocess.PIPE, text=True, env=env)
    for line in server.stdout:
        if line.startswith("http://127.0.0.1:"):
            return server, line.strip()
    server.kill()
    raise AssertionError("serve printed no address")


def voter(url, life, number, acknowledged, unanswered, lock, first):
    """Posts votes until the server is gone; records those it acknowledged
    and the one left unanswered."""
    count = 0
    while True:
        count += 1
        name, sex = NAMES[count % len(NAMES)]
        vote = {"member": "v%02d-%d" % (life, number), "name": name, "sex": sex,
                "rating": 1 + count % 5, "comment": "第%d票" % count}
        request = urllib.request.Request(url + "api/votes", data=json.dumps(vote).encode("utf-8"),
                                         headers={"Content-Type": "application/json"}, method="POST")
        try:
            with urllib.request.urlopen(request, timeout=5) as reply:
                if reply.status != 200:
                    continue
                json.load(reply)
        except urllib.error.HTTPError as error:
            if error.code == 429:  # the client's votes are rate-limited: wait for a token
                time.sleep(0.2)
                continue
            raise
        except (urllib.error.URLError, OSError, http.client.HTTPException, ValueError):
            # Killed, before the reply or in the middle of it: this vote was
            # not acknowledged, but may be stored.
            with lock:
                unanswered[(vote["member"], name, sex)] = (vote["rating"], vote["comment"])
            return
        with lock:
            acknowledged.append(vote)
        first.set()


def main():
    cli, work = sys.argv[1], sys.argv[2]
    kills = int(sys.argv[3]) if len(sys.argv) > 3 else 30
    shutil.rmtree(work, ignore_errors=True)
    os.makedirs(work)
    store = os.path.join(work, "favourites.db")
    env = dict(os.environ, LC_ALL="C.UTF-8")
    for name, sex in NAMES:
        subprocess.run([cli, "favourites", "add", name, "--sex", sex, "--date", "2026-03-01", "--store", store],
                       check=True, env=env, stdout=subprocess.DEVNULL)

    random.seed(31)
    acknowledged, unanswered, lock = [], {}, threading.Lock()
    for life in range(kills):
        server, url = start(cli, store, env)
        first = threading.Event()
        voters = [threading.Thread(target=voter, args=(url, life, n, acknowledged, unanswered, lock, first))
                  for n in range(VOTERS)]
        for thread in voters:
            thread.start()
        assert first.wait(10), "no vote acknowledged in life %d" % life
        time.sleep(random.uniform(0.0, 0.5))
        server.send_signal(signal.SIGKILL)
        server.wait()
        server.stdout.close()
        for thread in voters:
            thread.join(30)
            assert not thread.is_alive()

    db = sqlite3.connect(store)
    assert db.execute("PRAGMA integrity_check").fetchall() == [("ok",)]
    stored = {(member, name, sex): (rating, comment) for member, name, sex, rating, comment in db.execute(
        "SELECT member.display_name, vote.name, vote.sex, vote.rating, vote.comment"
        " FROM vote JOIN member ON member.id = vote.member_id")}
    last = {}
    for v in acknowledged:
        last[(v["member"], v["name"], v["sex"])] = (v["rating"], v["comment"])
    lost = [(key, vote) for key, vote in last.items()
            if stored.get(key) != vote and stored.get(key) != unanswered.get(key)]
    assert not lost, "%d acknowledged votes lost, e.g. %r" % (len(lost), lost[:3])
    assert len(acknowledged) >= kills, len(acknowledged)
    print("%d kills of the server: of %d acknowledged votes, the last of each member and name kept (%d stored),"
          " the store is sound" % (kills, len(acknowledged), len(stored)))


if __name__ == "__main__":
    main()
