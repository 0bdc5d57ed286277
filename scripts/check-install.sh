#!/usr/bin/env bash
# Installs the built program into a temporary prefix, makes the Debian package, validates the
# desktop entry, metainfo and file types, and runs the installed program away from the build
# tree. Usage: scripts/check-install.sh [BUILD_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT

cmake --install "$build" --prefix "$prefix" >/dev/null
for f in bin/orvex bin/orvex-cli bin/orvex-logger-sim share/applications/orvex.desktop \
  share/mime/packages/orvex.xml share/icons/hicolor/scalable/apps/orvex.svg \
  share/icons/hicolor/48x48/apps/orvex.png share/orvex/default.col share/man/man1/orvex.1 \
  share/man/man1/orvex-cli.1 share/metainfo/org.orvex.orvex.metainfo.xml; do
  [ -e "$prefix/$f" ] || { echo "not installed: $f"; exit 1; }
done

if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate "$prefix/share/applications/orvex.desktop"
fi
if command -v appstreamcli >/dev/null; then
  appstreamcli validate --no-net "$prefix/share/metainfo/org.orvex.orvex.metainfo.xml"
fi

# The data file's type, by name and by its header bytes.
work=$(mktemp -d)
trap 'rm -rf "$prefix" "$work"' EXIT
"$prefix/bin/orvex-cli" demo --out "$work/demo.tbc" --minutes 1 >/dev/null
cp "$work/demo.tbc" "$work/renamed.bin"
if command -v update-mime-database >/dev/null && command -v xdg-mime >/dev/null; then
  update-mime-database "$prefix/share/mime" >/dev/null 2>&1
  for f in demo.tbc renamed.bin; do
    type=$(XDG_CURRENT_DESKTOP=GNOME XDG_DATA_DIRS="$prefix/share" XDG_DATA_HOME="$work/none" xdg-mime query filetype "$work/$f")
    [ "$type" = "application/x-orvex-tbc" ] || { echo "$f has type '$type'"; exit 1; }
  done
fi

# The installed program finds its data beside itself, with no build tree to fall back on.
(
  cd "$work"
  unset ORVEX_DATA_DIR
  export ORVEX_CONFIG_DIR="$work/config" QT_QPA_PLATFORM=offscreen
  "$prefix/bin/orvex" --screenshot "$work/shot.png" "$work/demo.tbc"
  [ -s "$work/shot.png" ] || { echo "the installed program drew nothing"; exit 1; }
)

(cd "$build" && cpack -G DEB -B "$work/package" >/dev/null)
deb=$(ls "$work"/package/*.deb)
dpkg-deb --info "$deb" | grep -E 'Package|Depends'
contents=$(dpkg-deb --contents "$deb")
grep -q './usr/bin/orvex$' <<<"$contents" || { echo "package lacks bin/orvex"; exit 1; }
echo "install check passed"
