#!/usr/bin/env bash
# Writes the fuzzers' seed corpora under fuzz/seeds/<harness>/, every file made by this project:
# short demo sessions from orvex-cli, a settings file it saves, and small ASCII data, car,
# colour and HEX files written from their formats. Usage: fuzz/make-seeds.sh [BUILD_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
cli="$build/orvex-cli"
seeds=fuzz/seeds
rm -rf "$seeds"
mkdir -p "$seeds"/{fuzz-data-file,fuzz-ascii-file,fuzz-car-file,fuzz-color-file,fuzz-intel-hex,fuzz-profile-file}

# Data files: short demo sessions of two circuits and rates, and a document without datasets.
"$cli" demo --out "$seeds/fuzz-data-file/demo-a.tbc" --minutes 0.05 --rate 10 --seed 1
"$cli" demo --out "$seeds/fuzz-data-file/demo-b.tbc" --minutes 0.05 --rate 2 --seed 2
printf '\xaa\xaa\x16Brio-Dash Link Dataset\x03\x00\x03\x00\x65\x00\x00\x00\x00\x00\x01\x00\x00\x00' \
  >"$seeds/fuzz-data-file/empty.tbc"

# Settings: what the program writes at exit, and an old-format file.
config=$(mktemp -d)
ORVEX_CONFIG_DIR="$config" "$cli" settings --resave >/dev/null
cp "$config/ORVEX.INI" "$seeds/fuzz-profile-file/ORVEX.INI"
rm -rf "$config"
printf '[Settings]\r\nComPort=3\r\nRecord-Segments=4\r\n[Engine]\r\nCylinders=8\r\n' \
  >"$seeds/fuzz-profile-file/old-format.ini"

# An ASCII data file of two passes.
cat >"$seeds/fuzz-ascii-file/two-passes.tac" <<'TAC'
!Brio-Dash Data File Version 2.4
!Test day
#Cylinders: 8
#Stroke: 4
#Sample Frequency: 1000
#Axle RPM: 1
#Tire Circ: 80
#Rearend Ratio: 4.0
#Gears: 2, 2.5, 1.5
#Lap Timers: 2
#Channel 1: 5 0 100 0
SAMPLE  Tach  Axle-MPH  Lap  Analog1-Data
0 3 7570 0 0
10 3 7570 1 2500
20 3 7570 0 5000
30 0 7570 1 10000
!Second pass
0 4 7570 0 100
5 4 7570 0 100
TAC

# A car file.
cat >"$seeds/fuzz-car-file/race.car" <<'CAR'
!Brio-Dash Car Setup File Version 3.0
#Gears: 4,  2.9700,  1.9000,  1.3600,  1.0000
#Rearend Ratio:  4.1100
#Analog Settings #1: 130, 4, 1, 1, -4.000, 4.000, 0.250, 12
#Analog Description #1: Shock-LF
#Digital Settings #5: 2, 1, 0
#Digital Description #5: Lap Timer
#RPM Settings #1: 1, 2, 1, 4, 3.140, 4
#RPM Description #1: Engine
#RPM Settings #2: 12, 0, 0, 1, 81.693, 8
#RPM Description #2: Rear Wheel
CAR

# A colour file with one set.
{
  printf '!Brio-Dash Color Setup File Version 2.0\n(\n'
  printf ' Marker: 255 255 0\n RPM1: 0 0 255\n RPM2: 255 0 0\n Slip#1: 128 128 128\n'
  printf ' Ana#1: 0 128 0\n Dig#1: 128 0 128\n)\n'
} >"$seeds/fuzz-color-file/one-set.col"

# HEX files: a small firmware image with its banner and version signature, and a few records.
python3 - "$seeds/fuzz-intel-hex" <<'PY'
import sys
out = sys.argv[1]
def record(address, kind, data):
    body = bytes([len(data), address >> 8, address & 0xFF, kind]) + bytes(data)
    return ":" + body.hex().upper() + "%02X" % ((0x100 - sum(body) % 256) % 256) + "\r\n"
def hexfile(base, image):
    text = "".join(record(base + at, 0, image[at:at + 16]) for at in range(0, len(image), 16))
    return text + ":00000001FF\r\n"
code = bytearray([0x02, 0x20, 0x10, 0x00])
banner = 0x2000 + len(code)
code += b"\nData Logger\0" + b"w/Battery\0"
code += bytes([2, 0xF5, 0x74, 24, 0x7E, 0x14, banner >> 8, banner & 0xFF, 0x7E, 0x04, 0x00, 0xFF, 0x12])
code += bytes([0x22, 0x00])
open(out + "/firmware.hex", "w", newline="").write(hexfile(0x2000, bytes(code)))
open(out + "/records.hex", "w", newline="").write(
    record(0, 0, [0x02, 0x00, 0x40]) + record(0x10, 2, [0x10, 0x00]) + ":00000001FF\r\n")
PY
ls -l "$seeds"/*
