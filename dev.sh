#!/usr/bin/env bash
# The project's two commands:
#   ./dev.sh demo   build the 64-bit launcher, assemble a distribution folder
#                   (build/windows-x64/dist) and start Setup.exe there under Wine
#   ./dev.sh test   build the native, windows-x86 and windows-x64 presets and
#                   run every test (native ctest, windows-x64 ctest under Wine)
# Both install what is missing from Debian's packages first (when run as root;
# otherwise they print the apt-get line to run).
set -euo pipefail
cd "$(dirname "$0")"
root=$(pwd)

PACKAGES=(
  cmake ninja-build python3 procps clang libclang-rt-14-dev
  googletest libgtest-dev libgmock-dev libbenchmark-dev zlib1g-dev
  g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix libz-mingw-w64-dev
  wine wine64 xvfb xauth x11-apps imagemagick
  fonts-wqy-zenhei fonts-wine locales unicode-data
)
# Wine's ANSI code page follows LC_ALL: 936, 950 and 1252 for the tests.
LOCALES=(zh_CN.UTF-8 zh_TW.UTF-8 en_US.UTF-8)

log() { printf '\n== %s\n' "$*"; }

install_packages() {
  local missing=() p
  for p in "${PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  ((${#missing[@]} == 0)) && return 0
  if ((EUID != 0)); then
    echo "Missing packages. Run as root:" >&2
    echo "  apt-get update && apt-get install -y --no-install-recommends ${missing[*]}" >&2
    exit 1
  fi
  log "installing ${missing[*]}"
  apt-get update
  DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "${missing[@]}"
}

generate_locales() {
  local have l
  have=$(locale -a 2>/dev/null | tr 'A-Z' 'a-z' | sed 's/utf-8/utf8/')
  for l in "${LOCALES[@]}"; do
    local key; key=$(echo "$l" | tr 'A-Z' 'a-z' | sed 's/utf-8/utf8/')
    grep -qx "$key" <<<"$have" && continue
    if ((EUID != 0)); then
      echo "Missing locale $l. Run as root: localedef -i ${l%%.*} -f UTF-8 $l" >&2
      exit 1
    fi
    localedef -i "${l%%.*}" -f UTF-8 "$l"
  done
}

configure_build() {
  local preset=$1; shift
  log "configure and build: $preset"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" "$@"
}

cmd_test() {
  configure_build native
  log "native tests"
  ctest --preset native
  if [[ -x tools/fuzz.sh ]]; then
    log "fuzzing"
    tools/fuzz.sh build/native
  fi

  configure_build windows-x86

  local build=build/windows-x64
  mkdir -p "$build"
  trap 'tools/wine/session.sh stop '"$build"' >/dev/null 2>&1 || true' EXIT
  log "starting the Wine session"
  tools/wine/session.sh start "$build"
  configure_build windows-x64 --target all dist
  log "windows-x64 tests (Wine)"
  ctest --preset windows-x64
}

cmd_demo() {
  local build=build/windows-x64
  configure_build windows-x64 --target dist fake_service fake_iis fake_excel
  local dist="$root/$build/dist"
  if [[ -n "${DISPLAY:-}" ]] && xwd -root -silent >/dev/null 2>&1; then
    export LAUNCHER_DISPLAY=$DISPLAY
  fi
  tools/wine/session.sh start "$build"
  tools/demo/prepare-wine.sh "$build"
  if [[ -n "${LAUNCHER_DISPLAY:-}" ]]; then
    log "starting Setup.exe on $LAUNCHER_DISPLAY"
    (cd "$dist" && tools_run "$build" "$dist/Setup.exe")
    return
  fi
  log "starting Setup.exe under Xvfb"
  local shot="$root/$build/demo-screenshot.png"
  (cd "$dist" && tools_run "$build" explorer /desktop=Setup,1024x768 "$dist/Setup.exe") &
  local pid=$!
  sleep 8
  # shellcheck disable=SC2046
  env $(tools/wine/session.sh env "$build" | grep '^DISPLAY=') sh -c 'xwd -root -silent | convert xwd:- "$0"' "$shot"
  tools/wine/session.sh stop "$build"
  wait "$pid" 2>/dev/null || true
  echo "Screenshot: $shot"
}

tools_run() { "$root/tools/wine/run.sh" "$root/$1" "${@:2}"; }

case "${1:-}" in
  test) install_packages; generate_locales; cmd_test ;;
  demo) install_packages; generate_locales; cmd_demo ;;
  *) echo "usage: ./dev.sh demo|test" >&2; exit 2 ;;
esac
