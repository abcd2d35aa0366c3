#!/usr/bin/env bash
# The desktop entry, AppStream metainfo and shared-mime-info files validate, and with the
# MIME package in a scratch XDG_DATA_HOME a *.nsd file is application/x-nimbolt-sketch
# while other names are not.
set -euo pipefail
src=${1:?usage: $0 PACKAGING_FOLDER}
id=example.nimbolt.NimboltSketch
fail() { echo "FAIL: $*" >&2; exit 1; }
for tool in desktop-file-validate appstreamcli update-mime-database xdg-mime mimetype; do
  command -v "$tool" >/dev/null || fail "$tool is not installed"
done
scratch=$(mktemp -d "${TMPDIR:-/tmp}/nimbolt-desktop.XXXXXX")
trap 'rm -rf "$scratch"' EXIT

out=$(desktop-file-validate "$src/$id.desktop" 2>&1) || fail "desktop-file-validate: $out"
[ -z "$out" ] || fail "desktop-file-validate complains: $out"
entry() { sed -n "s/^$1=//p" "$src/$id.desktop"; }
[ "$(entry Exec)" = "nimbolt-sketch %f" ] || fail "Exec is '$(entry Exec)'"
[ "$(entry Icon)" = nimbolt-sketch ] || fail "Icon is '$(entry Icon)'"
[ "$(entry MimeType)" = "application/x-nimbolt-sketch;" ] || fail "MimeType is '$(entry MimeType)'"
[[ ";$(entry Categories)" == *";Graphics;"* ]] || fail "Categories lack Graphics: '$(entry Categories)'"
echo "desktop entry valid"

out=$(appstreamcli validate --no-net "$src/$id.metainfo.xml" 2>&1) || fail "appstreamcli validate: $out"
grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$src/$id.metainfo.xml" ||
  fail "the metainfo does not launch $id.desktop"
echo "metainfo valid"

# update-mime-database reports a malformed package on stderr and leaves the type out.
mkdir -p "$scratch/data/mime/packages"
cp "$src/$id.xml" "$scratch/data/mime/packages/"
out=$(XDG_DATA_HOME="$scratch/data" update-mime-database "$scratch/data/mime" 2>&1) || fail "update-mime-database: $out"
[ -z "$out" ] || fail "update-mime-database complains: $out"
grep -qx 'application/x-nimbolt-sketch' "$scratch/data/mime/types" || fail "the type is not in the database"
grep -qx 'application/x-nimbolt-sketch:application-x-nimbolt-sketch' "$scratch/data/mime/icons" ||
  fail "the type has not its own icon: $(cat "$scratch/data/mime/icons" 2>/dev/null)"
grep -qx '50:application/x-nimbolt-sketch:\*\.nsd' "$scratch/data/mime/globs2" ||
  fail "expected the one glob *.nsd at the default weight 50: $(grep nimbolt "$scratch/data/mime/globs2")"
[ "$(grep -c nimbolt "$scratch/data/mime/globs2")" = 1 ] || fail "more globs than *.nsd"
[ ! -s "$scratch/data/mime/magic" ] || ! grep -q nimbolt "$scratch/data/mime/magic" ||
  fail "the type has a magic rule"

# A sketch of zero cells and a file of other bytes with the same name both get the type by
# name alone; a different extension does not.
mkdir "$scratch/files"
head -c 566480 /dev/zero >"$scratch/files/blank.nsd"
printf 'not a sketch\n' >"$scratch/files/text.nsd"
printf 'not a sketch\n' >"$scratch/files/text.nsdx"
query() {
  env -u XDG_CURRENT_DESKTOP -u DESKTOP_SESSION -u KDE_FULL_SESSION -u GNOME_DESKTOP_SESSION_ID \
    XDG_DATA_HOME="$scratch/data" XDG_DATA_DIRS=/usr/share HOME="$scratch" xdg-mime query filetype "$1"
}
for f in blank.nsd text.nsd; do
  type=$(query "$scratch/files/$f") || fail "xdg-mime failed on $f"
  [ "$type" = application/x-nimbolt-sketch ] || fail "xdg-mime says $f is '$type'"
done
type=$(query "$scratch/files/text.nsdx")
[ "$type" != application/x-nimbolt-sketch ] || fail "text.nsdx got the sketch type"
echo "xdg-mime: *.nsd is application/x-nimbolt-sketch"
echo PASS
