#!/usr/bin/env bash
# Installed into a scratch DESTDIR, run from the link (installed_run.py), uninstalled without a trace.
set -euo pipefail
build=$(cd "${1:?usage: $0 BUILD_FOLDER}" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
source "$here/layout.sh"
scratch=$(mktemp -d "${TMPDIR:-/tmp}/nimbolt-install.XXXXXX")
trap 'rm -rf "$scratch"' EXIT
fail() { echo "[install] FAIL: $*" >&2; trap - EXIT; echo "scratch folder kept: $scratch" >&2; exit 1; }
root="$scratch/root"

mkdir -p "$root/usr/share/doc"  # there before: stays
DESTDIR="$root" cmake --install "$build" --prefix /usr >"$scratch/log" 2>&1 || fail "install: $(tail -n5 "$scratch/log")"
check_layout "$root" /usr || fail "the installed tree is wrong"
/usr/bin/python3 "$here/installed_run.py" "$root/usr/bin/nimbolt-sketch" || fail "the installed program"

DESTDIR="$root" cmake -P "$build/packaging/uninstall.cmake" >"$scratch/log" 2>&1 || fail "uninstall: $(tail -n5 "$scratch/log")"
left=$(cd "$root" && find . -mindepth 1 -printf '%y %P\n' | sort | paste -sd' ')
[ "$left" = "d usr d usr/share d usr/share/doc" ] || fail "uninstall left behind: $left"
echo "[install] PASS: installed, run from the link, uninstalled leaving only the folders that were there"
