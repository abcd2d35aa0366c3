#!/usr/bin/env bash
# The configured desktop entry, metainfo and MIME package validate, and give *.nsd files their type.
set -euo pipefail
dir=${1:?usage: $0 PACKAGING_FOLDER} id=example.nimbolt.NimboltSketch
fail() { echo "FAIL: $*" >&2; exit 1; }
for t in desktop-file-validate appstreamcli update-mime-database xdg-mime mimetype; do command -v $t >/dev/null || fail "no $t"; done
scratch=$(mktemp -d "${TMPDIR:-/tmp}/nimbolt-desktop.XXXXXX")
trap 'rm -rf "$scratch"' EXIT

out=$(desktop-file-validate "$dir/$id.desktop" 2>&1) && [ -z "$out" ] || fail "desktop-file-validate: $out"
entries=$(grep -E '^(Exec|Icon|MimeType)=' "$dir/$id.desktop" | sort | paste -sd' ')
[ "$entries" = "Exec=nimbolt-sketch %f Icon=nimbolt-sketch MimeType=application/x-nimbolt-sketch;" ] || fail "$entries"
grep -qE '^Categories=(.*;)?Graphics;' "$dir/$id.desktop" || fail "Categories lack Graphics"
out=$(appstreamcli validate --no-net "$dir/$id.metainfo.xml" 2>&1) || fail "appstreamcli validate: $out"
grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$dir/$id.metainfo.xml" || fail "no launchable"

# update-mime-database reports a malformed package on stderr and leaves the type out.
mime="$scratch/data/mime" && mkdir -p "$mime/packages" "$scratch/files" && cp "$dir/$id.xml" "$mime/packages/"
out=$(XDG_DATA_HOME="$scratch/data" update-mime-database "$mime" 2>&1) && [ -z "$out" ] || fail "update-mime-database: $out"
grep -qx 'application/x-nimbolt-sketch' "$mime/types" || fail "the type is not in the database"
grep -qx 'application/x-nimbolt-sketch:application-x-nimbolt-sketch' "$mime/icons" || fail "the type has not its own icon"
# the one glob *.nsd at the default weight, and no magic rule
rules=$(grep -hs nimbolt "$mime/globs2" "$mime/magic") && [ "$rules" = '50:application/x-nimbolt-sketch:*.nsd' ] || fail "$rules"

# By name alone: a blank sketch and other bytes named *.nsd get the type, *.nsdx does not.
head -c 566480 /dev/zero >"$scratch/files/blank.nsd"
printf 'not a sketch\n' | tee "$scratch/files/text.nsd" >"$scratch/files/text.nsdx"
for f in blank.nsd:application/x-nimbolt-sketch text.nsd:application/x-nimbolt-sketch text.nsdx:text/plain; do
  type=$(env -u XDG_CURRENT_DESKTOP -u DESKTOP_SESSION -u KDE_FULL_SESSION -u GNOME_DESKTOP_SESSION_ID \
    XDG_DATA_HOME="$scratch/data" XDG_DATA_DIRS=/usr/share HOME="$scratch" xdg-mime query filetype "$scratch/files/${f%%:*}")
  [ "$type" = "${f#*:}" ] || fail "xdg-mime says ${f%%:*} is '$type'"
done
echo "PASS: *.nsd is application/x-nimbolt-sketch"
