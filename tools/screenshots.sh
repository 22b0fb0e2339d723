#!/usr/bin/env bash
# Renders the main window and the check dialog (full install) in Simplified
# (code page 936) and Traditional Chinese (code page 950) to PNG files under
# docs/screenshots/:
#   tools/screenshots.sh [BUILD_DIR]   (default build/windows-x64)
# Runs under the build directory's Wine session; needs imagemagick's convert.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build/windows-x64}" && pwd)
out="$root/docs/screenshots"

cmake --build "$build" --target launcher_screenshot
"$root/tools/wine/session.sh" start "$build"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$out"
for run in "zh_CN.UTF-8 simplified" "zh_TW.UTF-8 traditional"; do
  read -r locale suffix <<<"$run"
  (cd "$work" && LC_ALL=$locale "$root/tools/wine/run.sh" "$build" "$build/bin/launcher_screenshot.exe" "$suffix")
  for window in main check; do
    # No time stamps in the PNG, so that an unchanged picture gives an unchanged file.
    convert "$work/$window-$suffix.bmp" -strip -define png:exclude-chunks=date,time "$out/$window-$suffix.png"
    echo "$out/$window-$suffix.png"
  done
done
