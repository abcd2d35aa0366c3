#!/usr/bin/env bash
# cpack's .deb: lintian-clean, Depends filled, exactly the installed tree, root's, one version.
set -euo pipefail
build=$(cd "${1:?usage: $0 BUILD_FOLDER VERSION}" && pwd) version=${2:?}
fail() { echo "FAIL: $*" >&2; exit 1; }
scratch=$(mktemp -d "${TMPDIR:-/tmp}/nimbolt-deb.XXXXXX")
trap 'rm -rf "$scratch"' EXIT

out=$(cd "$build" && cpack -G DEB -B "$scratch/out" 2>&1) || fail "cpack: $(tail <<<"$out")"
deb="$scratch/out/nimbolt-sketch_${version}_$(dpkg --print-architecture).deb"
[ -f "$deb" ] || fail "expected $(basename "$deb"), found: $(ls "$scratch/out")"
# As root lintian only adds a remark on stderr; its findings and status are the same.
out=$(lintian --fail-on error,warning --info --pedantic "$deb" 2>&1) || fail "lintian: $out"
grep -E '^[EW]: |hardening' <<<"$out" && fail "lintian warns, or finds the program unhardened"

depends=$(dpkg-deb -f "$deb" Depends)
for lib in libqt6{widgets,gui,core,printsupport}6 libchm1 libc6 qt6-qpa-plugins; do
  grep -qE "(^|, )$lib( |,|$)" <<<"$depends" || fail "Depends lacks $lib: $depends"
done

owners=$(dpkg-deb -c "$deb" | awk '{print $2}' | sort -u)
[ "$owners" = root/root ] || fail "files owned by $owners"
dpkg -x "$deb" "$scratch/root"
usr="$scratch/root/usr"
# The packaged program without a display: its version alone, a usage error's status, and an export
# that writes its picture and nothing in the program's folder (the layout is checked after).
bare() { env -u DISPLAY -u WAYLAND_DISPLAY "$usr/bin/nimbolt-sketch" "$@"; }
said=$(bare --version 2>&1) || fail "the program did not run: $said"
[ "$said" = "Nimbolt Sketch $version" ] || fail "the packaged program says '$said'"
status=0
bare --no-such-option 2>/dev/null || status=$?
[ "$status" = 2 ] || fail "a usage error ended with status $status"
head -c $((485 * 1168)) /dev/zero >"$scratch/blank.nsd"
bare --export-png "$scratch/blank.nsd" "$scratch/blank.png" || fail "--export-png failed"
file -b "$scratch/blank.png" | grep -q '^PNG image data, 582 x 485' || fail "not a 582 x 485 PNG"
# Exactly the installed files and the link (which ran the program above, so leads to it).
id=example.nimbolt.NimboltSketch icons=usr/share/icons/hicolor
pic=(apps/nimbolt-sketch mimetypes/application-x-nimbolt-sketch)
want=$(printf '%s\n' "l usr/bin/nimbolt-sketch" \
  "f usr/lib/nimbolt-sketch/"{nimbolt-sketch,"Help/Nimbolt Sketch Help.chm"} \
  "f usr/share/"{applications/$id.desktop,metainfo/$id.metainfo.xml,mime/packages/$id.xml} \
  "f usr/share/"{man/man1/nimbolt-sketch.1.gz,doc/nimbolt-sketch/{copyright,changelog.gz}} \
  "f $icons/"{16x16,32x32,48x48,256x256}/{"${pic[0]}","${pic[1]}"}.png \
  "f $icons/scalable/"{"${pic[0]}","${pic[1]}"}.svg | sort)
got=$(cd "$scratch/root" && find . -mindepth 1 \( -type f -o -type l \) -printf '%y %P\n' | sort)
[ "$want" = "$got" ] || fail "the tree differs (<: expected) $(diff <(echo "$want") <(echo "$got"))"
# help2man put the options from --help and the sections of the .h2m file in the page
man=$(zgrep -cE '^\.SH "?(OPTIONS|FILES|EXIT STATUS)' "$usr/share/man/man1/nimbolt-sketch.1.gz")
[ "$man" = 3 ] || fail "the man page has $man of its three sections"
grep -q "<release version=\"$version\" date=\"[0-9-]*\"/>" "$usr"/share/metainfo/* || fail release
top=$(zcat "$usr"/share/doc/*/changelog.gz | head -1)
[[ $top == "nimbolt-sketch ($version) "* ]] || fail "the changelog begins '$top'"
echo "PASS: $(basename "$deb"), Depends: $depends"
