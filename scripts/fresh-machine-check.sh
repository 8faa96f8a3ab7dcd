#!/usr/bin/env bash
# Runs the README's two commands on a fresh minimal Debian, as a new user
# would: a root made with debootstrap (minbase, git and ca-certificates only),
# the working tree copied in, root with no locale set. The run command goes
# first, on a virtual display, until the window shows; then the window is
# closed, the test command runs, and the README's package command builds the
# .deb, which is installed there. One verdict line per command, with its time.
#   scripts/fresh-machine-check.sh [bookworm|trixie]   (default bookworm)
# Needs root and a network path to a Debian mirror (the one apt uses here, or
# MIRROR=URL). Keeps the root and the logs in WORK (default /var/tmp/tavrin-
# fresh-SUITE, emptied first); KEEP_ROOT=1 leaves the root in place afterwards.
# Not part of CI: it downloads a whole system.
set -euo pipefail
# All of it in one function: bash has read the whole script before the long
# run starts, so editing the file meanwhile cannot change what runs.
main() {
  suite=${1:-bookworm}
  case "$suite" in bookworm|trixie) ;; *) echo "usage: $0 [bookworm|trixie]" >&2; exit 2 ;; esac
  [ "$(id -u)" -eq 0 ] || { echo "$0: run as root (debootstrap, chroot and mount need it)" >&2; exit 2; }
  tree=$(cd "$(dirname "$0")/.." && pwd)
  work=${WORK:-/var/tmp/tavrin-fresh-$suite}
  root=$work/root
  display=${DISPLAY_NUMBER:-77}
  window_timeout=${WINDOW_TIMEOUT:-5400}   # seconds to wait for the window

  # The tools on this machine: debootstrap for the root, Xvfb and xdotool to see
  # the window from outside it.
  host_tools=()
  command -v debootstrap >/dev/null || host_tools+=(debootstrap)
  command -v Xvfb >/dev/null || host_tools+=(xvfb)
  command -v xdotool >/dev/null || host_tools+=(xdotool)
  command -v import >/dev/null || host_tools+=(imagemagick)
  if ((${#host_tools[@]})); then
    apt-get update -qq
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${host_tools[@]}" >/dev/null
  fi

  # The Debian mirror apt uses on this machine: the first URI of a deb source
  # that is not the security archive.
  mirror() {
    [ -n "${MIRROR:-}" ] && { echo "$MIRROR"; return; }
    local uri
    uri=$(cat /etc/apt/sources.list.d/*.sources 2>/dev/null | awk '/^URIs:/ { print $2 }' | grep -v security | head -1) || true
    [ -n "$uri" ] || uri=$(awk '$1 == "deb" && $2 !~ /security/ { print $2; exit }' /etc/apt/sources.list 2>/dev/null) || true
    echo "${uri:-http://deb.debian.org/debian}"
  }

  # Mounts made here, unmounted in reverse order however the script ends.
  mounted=()
  cleanup() {
    local i
    # Whatever still runs inside the root (a window, a test's display) ends first.
    for pid in $(ls /proc | grep -E '^[0-9]+$'); do
      [ "$(readlink "/proc/$pid/root" 2>/dev/null)" = "$root" ] && kill "$pid" 2>/dev/null
    done
    sleep 1
    for ((i = ${#mounted[@]} - 1; i >= 0; i--)); do
      umount "${mounted[i]}" 2>/dev/null || umount -l "${mounted[i]}" 2>/dev/null || true
    done
    mounted=()
    [ -n "${xvfb_pid:-}" ] && kill "$xvfb_pid" 2>/dev/null || true
    if grep -q " $root/" /proc/mounts 2>/dev/null; then
      echo "$0: still mounted under $root:" >&2
      grep " $root/" /proc/mounts >&2
      return 1
    fi
    [ "${KEEP_ROOT:-0}" = 1 ] || rm -rf --one-file-system "$root"
  }
  trap cleanup EXIT
  trap 'exit 130' INT TERM

  bind() {  # bind SOURCE TARGET [mount options...]
    mkdir -p "$2"
    mount "${@:3}" "$1" "$2"
    mounted+=("$2")
    mount --make-private "$2"  # nothing mounted below it reaches this machine's tree
  }

  elapsed() {  # elapsed SECONDS -> 12m05s
    printf '%dm%02ds' $(($1 / 60)) $(($1 % 60))
  }

  rm -rf --one-file-system "$work"
  mkdir -p "$work"
  echo "fresh-machine-check: debootstrap $suite from $(mirror) into $root"
  debootstrap --variant=minbase --include=git,ca-certificates "$suite" "$root" "$(mirror)" >"$work/debootstrap.log" 2>&1 || {
    tail -20 "$work/debootstrap.log"
    exit 1
  }
  cp /etc/resolv.conf "$root/etc/resolv.conf"
  bind proc "$root/proc" -t proc
  bind sysfs "$root/sys" -t sysfs
  # The root's own /dev: a few device nodes, its own pseudo-terminals.
  bind tmpfs "$root/dev" -t tmpfs -o mode=0755
  for node in null:1:3 zero:1:5 full:1:7 random:1:8 urandom:1:9 tty:5:0; do
    IFS=: read -r name major minor <<<"$node"
    mknod -m 666 "$root/dev/$name" c "$major" "$minor"
  done
  ln -s /proc/self/fd "$root/dev/fd"
  ln -s pts/ptmx "$root/dev/ptmx"
  bind devpts "$root/dev/pts" -t devpts -o newinstance,ptmxmode=0666
  bind tmpfs "$root/dev/shm" -t tmpfs -o mode=1777
  bind tmpfs "$root/tmp" -t tmpfs

  # The working tree as git sees it (tracked and new files, nothing ignored).
  mkdir -p "$root/root/tavrin"
  (cd "$tree" && git ls-files -z --cached --others --exclude-standard | tar -cf - --null -T -) |
    tar -xf - -C "$root/root/tavrin"

  # A virtual display on this machine, its socket shown inside the root.
  Xvfb ":$display" -screen 0 1280x800x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
  xvfb_pid=$!
  for _ in $(seq 50); do [ -S "/tmp/.X11-unix/X$display" ] && break; sleep 0.1; done
  bind /tmp/.X11-unix "$root/tmp/.X11-unix" --bind

  # A login shell as a new root user has it: no LANG, LANGUAGE or LC_*.
  in_root() {
    chroot "$root" /usr/bin/env -i HOME=/root TERM=dumb PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
      "$@"
  }

  verdicts=()
  verdict() { verdicts+=("$suite $1: $2"); echo "fresh-machine-check: $suite $1: $2"; }

  # 1. bash scripts/dev.sh run: until the window shows, then close it.
  start=$SECONDS
  in_root env DISPLAY=":$display" bash -c 'cd /root/tavrin && exec bash scripts/dev.sh run' >"$work/run.log" 2>&1 &
  run_pid=$!
  window=""
  while kill -0 "$run_pid" 2>/dev/null && ((SECONDS - start < window_timeout)); do
    window=$(DISPLAY=":$display" xdotool search --onlyvisible --name '^Tavrin' 2>/dev/null | head -1) || true
    [ -n "$window" ] && break
    sleep 2
  done
  if [ -n "$window" ]; then
    took=$((SECONDS - start))
    sleep 3
    DISPLAY=":$display" import -window root "$work/window.png" 2>/dev/null || true
    # No window manager runs: a click on the tab bar gives the window the focus.
    eval "$(DISPLAY=":$display" xdotool getwindowgeometry --shell "$window")"
    DISPLAY=":$display" xdotool mousemove $((X + 35)) $((Y + 14)) click 1 sleep 0.5 key ctrl+q 2>/dev/null || true
    for _ in $(seq 30); do kill -0 "$run_pid" 2>/dev/null || break; sleep 1; done
    if kill -0 "$run_pid" 2>/dev/null; then
      verdict run "FAIL: the window showed after $(elapsed $took) but did not close on Ctrl+Q"
      pkill -f build-run/bin/tavrin || true
    else
      verdict run "PASS: the window showed after $(elapsed $took) (screenshot $work/window.png)"
    fi
  else
    kill "$run_pid" 2>/dev/null || true
    verdict run "FAIL: no window after $(elapsed $((SECONDS - start))); see $work/run.log"
    tail -20 "$work/run.log"
  fi
  wait "$run_pid" 2>/dev/null || true

  # 2. bash scripts/dev.sh test
  start=$SECONDS
  if in_root bash -c 'cd /root/tavrin && bash scripts/dev.sh test' >"$work/test.log" 2>&1; then
    verdict test "PASS: $(grep -Eo '[0-9]+% tests passed.*' "$work/test.log" | tail -1) in $(elapsed $((SECONDS - start)))"
  else
    verdict test "FAIL after $(elapsed $((SECONDS - start))): $(grep -E 'tests passed|Error|error:' "$work/test.log" | tail -1); see $work/test.log"
    grep -A30 'The following tests FAILED' "$work/test.log" | head -30 || tail -30 "$work/test.log"
  fi

  # 3. The README's package command, and the package installed with apt.
  start=$SECONDS
  if in_root bash -c 'cd /root/tavrin && bash scripts/dev.sh deb &&
                      apt-get install -y ./build-run/tavrin_*.deb && tavrin-cli strokes 张三' >"$work/deb.log" 2>&1; then
    verdict package "PASS: built and installed in $(elapsed $((SECONDS - start)))"
  else
    verdict package "FAIL after $(elapsed $((SECONDS - start))); see $work/deb.log"
    tail -20 "$work/deb.log"
  fi

  echo
  printf '%s\n' "${verdicts[@]}"
  ! printf '%s\n' "${verdicts[@]}" | grep -q ': FAIL'
}
main "$@"
