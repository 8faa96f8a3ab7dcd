#!/usr/bin/env bash
# The built window driven as a user drives it, on a virtual X display:
# type a surname, press 生成 and wait for the run's last line in the summary
# pane (read back with select-all and copy, as a user could), press 停止 in
# a second, longer run, type a letter into the count field and see the
# message box, take a screenshot of every page, close the window with Ctrl+Q.
#   window_e2e.sh BIN_DIR OUT_DIR
# Runs itself under xvfb-run when no display is given.
set -euo pipefail
bin=$1
out=$2
command -v xvfb-run >/dev/null || { echo "e2e: xvfb-run is missing (Debian: xvfb)" >&2; exit 1; }
if [ -z "${TAVRIN_E2E_DISPLAY:-}" ]; then
  exec env TAVRIN_E2E_DISPLAY=1 xvfb-run -a -s "-screen 0 1280x800x24" "$0" "$@"
fi
for tool in xvfb-run xdotool xclip import; do
  command -v "$tool" >/dev/null || { echo "e2e: $tool is missing (Debian: xvfb xdotool xclip imagemagick)" >&2; exit 1; }
done
# xdotool types the Chinese surname only in a UTF-8 locale; the program
# itself runs in whatever locale the suite has.
xdotool() { LC_ALL=C.UTF-8 command xdotool "$@"; }
mkdir -p "$out"
rm -f "$out"/*.png
log="$out/stderr.txt"

fail() {
  echo "e2e: $*" >&2
  import -window root "$out/failure.png" 2>/dev/null || true
  kill "$app" 2>/dev/null || true
  exit 1
}

# The test suite runs the other window tests offscreen; this one needs the
# display. In the sanitizer build, libxkbcommon-x11 hands strndup a bounded
# buffer without a terminating zero, which is allowed but trips the strict
# string checks the other tests run with.
if [ -n "${ASAN_OPTIONS:-}" ]; then export ASAN_OPTIONS="$ASAN_OPTIONS:strict_string_checks=0"; fi
# A settings file of its own, in which the first-run guide has been seen
# (the window tests show it): the window keeps its inputs and page between
# starts, and the clicks below expect the first start's.
export XDG_CONFIG_HOME="$out/config"
rm -rf "$XDG_CONFIG_HOME"
mkdir -p "$XDG_CONFIG_HOME/tavrin"
printf '[guide]\nshown=true\n' >"$XDG_CONFIG_HOME/tavrin/tavrin.conf"
# And a favourites store of its own: the user's own store is never touched,
# and one written by another version cannot stop the window at a dialog.
export XDG_DATA_HOME="$out/data"
unset TAVRIN_FAVOURITES
rm -rf "$XDG_DATA_HOME"
env -u QT_QPA_PLATFORM "$bin/tavrin" 2>"$log" &
app=$!

window=""
for _ in $(seq 300); do  # the sanitizer build starts slowly
  window=$(xdotool search --onlyvisible --name '^Tavrin' 2>/dev/null | head -1) || true
  [ -n "$window" ] && break
  sleep 0.1
done
[ -n "$window" ] || fail "the window did not appear"
# Window-relative points become screen points.
eval "$(xdotool getwindowgeometry --shell "$window")"
at() { xdotool mousemove $((X + $1)) $((Y + $2)); }
click() { at "$1" "$2"; xdotool click 1; }

# The summary pane's whole text, as select-all and copy give it.
summary() {
  click 400 300
  xdotool key ctrl+a ctrl+c
  sleep 0.2
  xclip -o -selection clipboard 2>/dev/null || true
}

visible_windows() { xdotool search --onlyvisible --name '^Tavrin' 2>/dev/null | wc -l; }

# The surname: select the field's text and type over it.
click 310 70
xdotool key ctrl+a
xdotool type --delay 50 "李"
click 823 128  # 生成
done_line=""
for _ in $(seq 120); do
  if summary | grep -q "推荐名字二分析完成"; then done_line=yes; break; fi
  sleep 0.5
done
[ -n "$done_line" ] || fail "the run never wrote 推荐名字二分析完成"
summary | grep -q "在姓氏李中" || fail "the run did not use the typed surname"

# A longer run, stopped mid-way: its last line never comes.
click 184 70  # the count field
xdotool key ctrl+a
xdotool type "3000"
click 823 128  # 生成
sleep 0.3
click 751 128  # 停止
sleep 1.5
summary | grep -q "开始分析八字" || fail "the second run did not start"
if summary | grep -q "推荐名字二分析完成"; then fail "停止 did not stop the run"; fi

# A letter in the count field: the message box comes up, and goes with Enter.
click 184 70
xdotool type "a"
sleep 0.5
[ "$(visible_windows)" -ge 2 ] || fail "no message box for a letter in the count field"
xdotool key Return
sleep 0.5
[ "$(visible_windows)" -eq 1 ] || fail "the message box did not close"

for page in 0 1 2 3 4 5 6 7 8; do
  case $page in
    0) x=35 ;; 1) x=100 ;; 2) x=160 ;; 3) x=232 ;; 4) x=317 ;; 5) x=408 ;; 6) x=491 ;; 7) x=563 ;; 8) x=635 ;;
  esac
  click $x 14
  sleep 0.4
  import -window root -crop 901x532+"$X"+"$Y" +repage "$out/page$page.png"
done

click 35 14
xdotool key ctrl+q
for _ in $(seq 50); do
  kill -0 "$app" 2>/dev/null || break
  sleep 0.1
done
kill -0 "$app" 2>/dev/null && fail "Ctrl+Q did not close the window"
wait "$app" || fail "tavrin exited with status $?"
# Qt's notes about the platform are no fault of the program's.
if grep -v -e '^QStandardPaths: ' -e '^qt\.qpa\.' "$log" | grep -q .; then
  fail "tavrin wrote to stderr: $(cat "$log")"
fi
echo "e2e: all steps passed; screenshots in $out"
