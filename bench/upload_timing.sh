#!/usr/bin/env bash
# Upload timing: a 64 KB memory image at 38400 baud from the paced logger simulator, through
# orvex-cli upload. Reports the transfer's elapsed time against the time the bytes need on the
# line, the whole upload against line time plus the protocol's fixed waits, and the host
# process's CPU use. Targets: transfer <= 1.1 x line time, CPU < 10 % of one core.
# Usage: bench/upload_timing.sh [BUILD_DIR]   (default: build)
set -euo pipefail

build=${1:-build}
cli=$build/orvex-cli
sim=$build/orvex-logger-sim
for p in "$cli" "$sim"; do
    [[ -x $p ]] || { echo "missing $p (build it first)" >&2; exit 1; }
done

work=$(mktemp -d)
sim_pid=
cleanup() {
    [[ -n $sim_pid ]] && kill "$sim_pid" 2>/dev/null && wait "$sim_pid" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

packet=512
image=65536
"$sim" --family kavrane --firmware 2.24 --rpm 1,2 --analog 1,2 --rate 100 --analog-rate 50 \
    --seconds 1 --image-bytes "$image" --packet "$packet" --pace --expect "$work/expect.txt" \
    >"$work/sim.out" 2>"$work/sim.err" &
sim_pid=$!
for _ in $(seq 100); do [[ -s $work/sim.out ]] && break; sleep 0.05; done
port=$(head -n1 "$work/sim.out")
[[ -n $port ]] || { echo "simulator did not start" >&2; exit 1; }

# Every status line of the link window with the time it appeared.
mkdir -p "$work/config"
ORVEX_CONFIG_DIR=$work/config /usr/bin/time -f "%e %U %S" -o "$work/time.txt" \
    "$cli" upload --port "$port" --out "$work/upload.tbc" 2>&1 >"$work/cli.out" |
    while IFS= read -r line; do printf '%s %s\n' "$(date +%s.%N)" "$line"; done >"$work/status.txt"

grep -q "upload.tbc:" "$work/cli.out" || { echo "upload failed:" >&2; cat "$work/status.txt" >&2; exit 1; }
bytes=$(grep -m1 -o 'Total Bytes: [0-9]*' "$work/status.txt" | tail -n1 | awk '{print $3}')
t_start=$(grep -m1 'Retrieving recorded data' "$work/status.txt" | awk '{print $1}')
t_end=$(grep -m1 'Processing Channels' "$work/status.txt" | awk '{print $1}')
read -r elapsed user sys <"$work/time.txt"

awk -v bytes="$bytes" -v packet="$packet" -v t0="$t_start" -v t1="$t_end" -v elapsed="$elapsed" \
    -v user="$user" -v sys="$sys" 'BEGIN {
    packets = int((bytes + packet - 1) / packet)
    wire = bytes + 4 * packets + 8          # framing of every data packet and the byte count
    line = wire * 10 / 38400                # 10 bits a byte at 38400 baud
    transfer = t1 - t0
    fixed = 1.0 + 0.5 + 4 * 0.5 + 0.5       # wake-up, speed change, 4 pre-ambles, closing
    printf "memory image          %d bytes in %d packets\n", bytes, packets
    printf "line time             %.2f s (38400 baud, 10 bits a byte)\n", line
    printf "transfer elapsed      %.2f s = %.3f x line time (target <= 1.1)\n", transfer, transfer / line
    printf "whole upload          %.2f s; line time + fixed protocol waits %.2f s (%.3f x)\n", elapsed, line + fixed, elapsed / (line + fixed)
    printf "host CPU              %.2f s user + %.2f s system = %.1f %% of one core (target < 10)\n", user, sys, 100 * (user + sys) / elapsed
}'
