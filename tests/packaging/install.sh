#!/usr/bin/env bash
# Installed into a scratch DESTDIR (deb.sh checks the tree that the same rules make), run from the
# link (installed_run.py), uninstalled without a trace.
set -euo pipefail
build=$(cd "${1:?usage: $0 BUILD_FOLDER}" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
scratch=$(mktemp -d "${TMPDIR:-/tmp}/nimbolt-install.XXXXXX")
trap 'rm -rf "$scratch"' EXIT
fail() { echo "[install] FAIL: $* (scratch folder kept: $scratch)" >&2; trap - EXIT; exit 1; }
root="$scratch/root"
log="$scratch/log"

mkdir -p "$root/usr/share/doc"  # there before: stays
DESTDIR="$root" cmake --install "$build" --prefix /usr >"$log" 2>&1 || fail "$(tail -5 "$log")"
/usr/bin/python3 "$here/installed_run.py" "$root/usr/bin/nimbolt-sketch" || fail "installed_run.py"

DESTDIR="$root" cmake -P "$build/packaging/uninstall.cmake" >"$log" 2>&1 || fail "$(tail -5 "$log")"
left=$(cd "$root" && find . -mindepth 1 -printf '%y %P\n' | sort | paste -sd' ')
[ "$left" = "d usr d usr/share d usr/share/doc" ] || fail "uninstall left behind: $left"
echo "[install] PASS: installed, run from the link, uninstalled leaving what was there before"
