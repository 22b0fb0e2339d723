#!/usr/bin/env bash
# Runs a Windows program in the Wine session of a build directory:
#   run.sh BUILD_DIR PROGRAM.exe [ARGS...]
# This is the CMake cross-compiling emulator of the Windows builds. It starts
# the session if needed; the test command starts it beforehand, so that no
# Wine daemon is ever born with a test's stdio.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=${1:?usage: run.sh BUILD_DIR PROGRAM [ARGS...]}
shift
"$here/session.sh" start "$build" </dev/null >/dev/null 2>&1
while IFS= read -r line; do export "${line?}"; done < <("$here/session.sh" env "$build")
exec /usr/lib/wine/wine64 "$@"
