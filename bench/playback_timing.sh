#!/usr/bin/env bash
# Playback timing: the data server in auto mode at Timer 10 (a 10 ms period) for a while,
# feeding the fake suspension program on a private session bus. Reports the median and spread
# of the intervals between the advises that reach the client, and the program's CPU use.
# Targets: median interval within 20 % of 10 ms, CPU < 10 % of one core.
# Usage: bench/playback_timing.sh [BUILD_DIR] [SECONDS]   (defaults: build, 60)
set -euo pipefail

build=${1:-build}
seconds=${2:-60}
orvex=$build/orvex
fake=$build/tests/fake-suspension
for p in "$orvex" "$fake"; do
    [[ -x $p ]] || { echo "missing $p (build it first)" >&2; exit 1; }
done
command -v dbus-daemon >/dev/null && command -v dbus-monitor >/dev/null &&
    command -v gdbus >/dev/null || { echo "needs dbus-daemon, dbus-monitor and gdbus" >&2; exit 1; }

work=$(mktemp -d)
daemon_pid=""
orvex_pid=""
monitor_pid=""
cleanup() {
    for p in $monitor_pid $orvex_pid $daemon_pid; do kill "$p" 2>/dev/null || true; done
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

mkdir -p "$work/config" "$work/damplex"
ln -s "$(realpath "$fake")" "$work/damplex/Damplexr"
printf '[Server-Settings]\nSuspension-App=%s\n' "$work/damplex/Damplexr" >"$work/config/ORVEX.INI"

dbus-daemon --session --nofork --print-address=1 >"$work/address" &
daemon_pid=$!
for _ in $(seq 50); do [[ -s $work/address ]] && break; sleep 0.1; done
address=$(head -n1 "$work/address")

export DBUS_SESSION_BUS_ADDRESS=$address QT_QPA_PLATFORM=offscreen ORVEX_CONFIG_DIR=$work/config
export FAKE_SUSPENSION_LOG=$work/fake.log FAKE_SUSPENSION_ORDER="XT XD R1 A1 A2"
export FAKE_SUSPENSION_SECONDS=$((seconds + 30))
"$orvex" --demo &
orvex_pid=$!
for _ in $(seq 200); do
    gdbus call --address "$address" --dest org.freedesktop.DBus --object-path /org/freedesktop/DBus \
        --method org.freedesktop.DBus.NameHasOwner org.orvex.Orvex 2>/dev/null | grep -q true && break
    sleep 0.1
done

dbus-monitor --address "$address" \
    "type='signal',interface='org.orvex.DozaDevaRizevo.Server',member='Advise'" \
    >"$work/monitor" 2>/dev/null &
monitor_pid=$!
sleep 0.5

call() {
    gdbus call --address "$address" --dest org.orvex.Orvex --object-path /Orvex \
        --method org.orvex.Orvex.Application.ConfigureDataServer "$@"
}
# Enabling starts the fake suspension program, which starts its advise loop; then auto mode.
call true false 30 -- -1 -1 >/dev/null
for _ in $(seq 100); do grep -q "advising 1" "$work/fake.log" 2>/dev/null && break; sleep 0.1; done
call true true 10 1.0 590.0 >/dev/null

ticks() { awk '{print $14 + $15}' "/proc/$orvex_pid/stat"; }
cpu_before=$(ticks)
sleep "$seconds"
cpu_after=$(ticks)
call true false 10 1.0 590.0 >/dev/null

python3 - "$work/monitor" "$seconds" "$cpu_before" "$cpu_after" "$(getconf CLK_TCK)" <<'PY'
import re, statistics, sys
monitor, seconds, before, after, hz = sys.argv[1], float(sys.argv[2]), *map(int, sys.argv[3:6])
times = [float(m.group(1)) for m in re.finditer(r"^signal time=([0-9.]+) .*member=Advise",
                                                  open(monitor).read(), re.M)]
gaps = sorted((b - a) * 1000 for a, b in zip(times, times[1:]))
if not gaps:
    sys.exit("no advises seen")
median = statistics.median(gaps)
cpu = (after - before) / hz / seconds * 100
p90 = gaps[int(len(gaps) * 0.9)]
print(f"advises: {len(times)} in {seconds:.0f} s")
print(f"tick interval: median {median:.2f} ms, 10th {gaps[len(gaps) // 10]:.2f} ms, "
      f"90th {p90:.2f} ms (period 10 ms)")
print(f"CPU: {cpu:.1f} % of one core")
ok = abs(median - 10) <= 2 and cpu < 10
print("targets met" if ok else "targets NOT met")
sys.exit(0 if ok else 1)
PY
