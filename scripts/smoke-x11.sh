#!/usr/bin/env bash
# GUI smoke test under a real X server: orvex on a generated two-minute session opens the
# "COM Port" dialog and the help, saves, quits; Qt must write nothing to stderr.
# Usage: scripts/smoke-x11.sh [BUILD_DIR]   (needs xvfb-run: packages xvfb and xauth)
set -euo pipefail
build=${1:-build}
command -v xvfb-run >/dev/null || { echo "smoke-x11: xvfb-run missing (apt-get install xvfb xauth)" >&2; exit 2; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

"$build/orvex-cli" demo --out "$work/demo.tbc" --minutes 5 >/dev/null
mkdir -m 700 "$work/runtime"
export ORVEX_CONFIG_DIR="$work/config" ORVEX_SMOKE_SAVE="$work/saved.tbc" XDG_RUNTIME_DIR="$work/runtime"
unset QT_QPA_PLATFORM
rc=0
timeout 120 xvfb-run -a -s "-screen 0 1280x900x24" "$build/orvex" "$work/demo.tbc" \
  >"$work/out.log" 2>"$work/err.log" || rc=$?
cat "$work/out.log"
if [ "$rc" -ne 0 ]; then
  echo "smoke-x11: orvex ended with $rc" >&2; cat "$work/err.log" >&2; exit 1
fi
if [ -s "$work/err.log" ]; then
  echo "smoke-x11: orvex wrote to stderr:" >&2; cat "$work/err.log" >&2; exit 1
fi
for step in "dialog COM Port" "help" "saved"; do
  grep -qx "smoke: $step" "$work/out.log" || { echo "smoke-x11: step \"$step\" missing" >&2; exit 1; }
done
"$build/orvex-cli" info "$work/saved.tbc" >/dev/null ||
  { echo "smoke-x11: the saved file does not read back" >&2; exit 1; }
echo "smoke-x11: passed"
