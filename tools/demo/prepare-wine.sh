#!/usr/bin/env bash
# Prepares the Wine prefix of a build directory so that the demo's checks can
# pass: the fake database and web services registered and the fake IIS
# administration objects and Excel automation server registered, all from the
# test fixtures built in that directory.
#   tools/demo/prepare-wine.sh BUILD_DIR
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "${1:?usage: prepare-wine.sh BUILD_DIR}" && pwd)
run() { "$here/../wine/run.sh" "$build" "$@" </dev/null >/dev/null 2>&1; }
winpath() { echo "Z:${1//\//\\}"; }

fake_service=$(winpath "$build/bin/fake_service.exe")
for service in MSSQLSERVER w3svc; do
  run sc stop "$service" || true
  run sc delete "$service" || true
  run sc create "$service" binpath= "\"$fake_service\" $service 0" || {
    echo "prepare-wine.sh: cannot register the fake $service service" >&2
    exit 1
  }
done
for server in fake_iis.dll fake_excel.dll; do
  run regsvr32 /s "$(winpath "$build/bin/$server")" || {
    echo "prepare-wine.sh: cannot register $server" >&2
    exit 1
  }
done
