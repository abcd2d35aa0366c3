#!/usr/bin/env bash
# The configured desktop entry, metainfo and MIME package validate and give *.nsd files their type.
set -euo pipefail
dir=${1:?usage: $0 PACKAGING_FOLDER}
id=example.nimbolt.NimboltSketch type=application/x-nimbolt-sketch
fail() { echo "FAIL: $*" >&2; exit 1; }
scratch=$(mktemp -d "${TMPDIR:-/tmp}/nimbolt-desktop.XXXXXX")
trap 'rm -rf "$scratch"' EXIT

out=$(desktop-file-validate "$dir/$id.desktop" 2>&1) && [ -z "$out" ] || fail "validating: $out"
entries=$(grep -E '^(Exec|Icon|MimeType)=' "$dir/$id.desktop" | sort | paste -sd' ')
[ "$entries" = "Exec=nimbolt-sketch %f Icon=nimbolt-sketch MimeType=$type;" ] || fail "$entries"
grep -qE '^Categories=(.*;)?Graphics;' "$dir/$id.desktop" || fail "Categories lack Graphics"
out=$(appstreamcli validate --no-net "$dir/$id.metainfo.xml" 2>&1) || fail "validating: $out"
launchable="<launchable type=\"desktop-id\">$id.desktop</launchable>"
grep -qF "$launchable" "$dir/$id.metainfo.xml" || fail "no $launchable"

# update-mime-database reports a malformed package on stderr and leaves the type out.
export XDG_DATA_HOME="$scratch/data"  # else it notes that the database is outside its search path
mime="$XDG_DATA_HOME/mime"
mkdir -p "$mime/packages"
cp "$dir/$id.xml" "$mime/packages/"
out=$(update-mime-database "$mime" 2>&1) && [ -z "$out" ] || fail "update-mime-database: $out"
grep -qx "$type:application-x-nimbolt-sketch" "$mime/icons" || fail "the type has not its own icon"
# *.nsd files get the type by name alone: the one glob at the default weight, and no magic rule
rules=$(grep -hs nimbolt "$mime/globs2" "$mime/magic" || true)
[ "$rules" = "50:$type:*.nsd" ] || fail "$rules"

echo "PASS: *.nsd is $type"
