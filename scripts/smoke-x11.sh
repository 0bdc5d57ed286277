#!/usr/bin/env bash
# GUI smoke test under a real X server: orvex on a generated two-minute session maximises its
# graph window, opens the "COM Port" dialog and the help, saves, quits; Qt must write nothing to
# stderr, and the window system must show the main window's title as the program sets it.
# Usage: scripts/smoke-x11.sh [BUILD_DIR]   (needs xvfb-run and xwininfo: packages xvfb, xauth
# and x11-utils)
set -euo pipefail
build=${1:-build}
command -v xvfb-run >/dev/null || { echo "smoke-x11: xvfb-run missing (apt-get install xvfb xauth)" >&2; exit 2; }
command -v xwininfo >/dev/null || { echo "smoke-x11: xwininfo missing (apt-get install x11-utils)" >&2; exit 2; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

"$build/orvex-cli" demo --out "$work/demo.tbc" --minutes 5 >/dev/null
mkdir -m 700 "$work/runtime"
export ORVEX_CONFIG_DIR="$work/config" ORVEX_SMOKE_SAVE="$work/saved.tbc" XDG_RUNTIME_DIR="$work/runtime"
unset QT_QPA_PLATFORM
rc=0
: >"$work/titles.txt"
# The titles of the program's top-level windows are noted while it runs.
timeout 120 xvfb-run -a -s "-screen 0 1280x900x24" bash -c '
  "$1" "$2" & pid=$!
  while kill -0 $pid 2>/dev/null; do
    xwininfo -root -children 2>/dev/null | grep -o "\"ORVEX[^\"]*\"" >>"$3"
    sleep 0.1
  done
  wait $pid' smoke "$build/orvex" "$work/demo.tbc" "$work/titles.txt" \
  >"$work/out.log" 2>"$work/err.log" || rc=$?
cat "$work/out.log"
if [ "$rc" -ne 0 ]; then
  echo "smoke-x11: orvex ended with $rc" >&2; cat "$work/err.log" >&2; exit 1
fi
if [ -s "$work/err.log" ]; then
  echo "smoke-x11: orvex wrote to stderr:" >&2; cat "$work/err.log" >&2; exit 1
fi
for step in "maximised" "dialog COM Port" "help" "saved"; do
  grep -qx "smoke: $step" "$work/out.log" || { echo "smoke-x11: step \"$step\" missing" >&2; exit 1; }
done
# The maximised graph window's title is the main window's, without the window system adding
# the program's name again ("ORVEX - [demo.tbc - Graph] — ORVEX").
grep -qx '"ORVEX - \[demo.tbc - Graph\]"' "$work/titles.txt" || {
  echo "smoke-x11: no main window titled \"ORVEX - [demo.tbc - Graph]\"; seen:" >&2
  sort -u "$work/titles.txt" >&2; exit 1; }
"$build/orvex-cli" info "$work/saved.tbc" >/dev/null ||
  { echo "smoke-x11: the saved file does not read back" >&2; exit 1; }
echo "smoke-x11: passed"
