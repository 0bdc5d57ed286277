#!/usr/bin/env bash
# Shows that the layer check passes on a tree that keeps the order and fails on wrong includes.
set -euo pipefail
check="$(dirname "$0")/check-layers.py"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
mkdir -p "$tmp/src/host" "$tmp/src/model" "$tmp/src/graph/ui" "$tmp/src/app/ui" "$tmp/src/sim"
echo '#include "host/HostServices.h"' > "$tmp/src/model/A.cpp"
echo '#include <QWidget>
#include "app/DataAcqApp.h"' > "$tmp/src/graph/ui/W.cpp"
echo '#include "graph/ui/W.h"' > "$tmp/src/app/ui/M.cpp"
python3 "$check" "$tmp/src" >/dev/null || { echo "a sound tree was refused"; exit 1; }
expect_refused() {  # file, include line
  mkdir -p "$(dirname "$tmp/src/$1")"
  echo "$2" > "$tmp/src/$1"
  if python3 "$check" "$tmp/src" >/dev/null; then echo "not refused: $1 with $2"; exit 1; fi
  rm "$tmp/src/$1"
}
expect_refused host/B.cpp '#include "model/Dataset.h"'
expect_refused model/B.cpp '#include "graph/GraphView.h"'
expect_refused graph/B.cpp '#include "logger/upload/Upload.h"'
expect_refused app/B.cpp '#include "app/ui/MainWindow.h"'
expect_refused model/C.cpp '#include <QString>'
expect_refused graph/ui/X.cpp '#include "app/ui/MainWindow.h"'
expect_refused sim/B.cpp '#include "logger/link/Framing.h"'
expect_refused model/D.cpp '#include "sim/SimLink.h"'
expect_refused model/Document.cpp '#include "files/DataFile.h"'
expect_refused graph/GraphSettings.h '#include "app/DataAcqApp.h"'
expect_refused extra/E.cpp '#include "host/HostServices.h"'
expect_refused logger/link/B.cpp '#include "logger/upload/Upload.h"'
expect_refused logger/live/B.cpp '#include "logger/config/TachConfig.h"'
expect_refused demo/B.cpp '#include "files/DataFile.h"'
echo "layer check test passed"
