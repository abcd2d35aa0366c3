#!/usr/bin/env bash
# The .deb from cpack: lintian-clean, Depends filled, exactly the installed tree (root's), one version.
set -euo pipefail
build=$(cd "${1:?usage: $0 BUILD_FOLDER VERSION}" && pwd) version=${2:?}
source "$(dirname "$0")/layout.sh"
fail() { echo "FAIL: $*" >&2; exit 1; }
for tool in cpack dpkg-deb dpkg-shlibdeps lintian; do command -v "$tool" >/dev/null || fail "no $tool"; done
scratch=$(mktemp -d "${TMPDIR:-/tmp}/nimbolt-deb.XXXXXX")
trap 'rm -rf "$scratch"' EXIT

(cd "$build" && cpack -G DEB -B "$scratch/out") >"$scratch/cpack.log" 2>&1 || fail "cpack: $(tail "$scratch/cpack.log")"
deb="$scratch/out/nimbolt-sketch_${version}_$(dpkg --print-architecture).deb"
[ -f "$deb" ] || fail "expected $(basename "$deb"), found: $(ls "$scratch/out")"
# As root lintian only adds a remark on stderr; its findings and status are the same.
out=$(lintian --fail-on error,warning --info --pedantic "$deb" 2>&1) || fail "lintian: $out"
grep -E '^[EW]: |hardening' <<<"$out" && fail "lintian warns, or finds the program unhardened"

field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package) $(field Version)" = "nimbolt-sketch $version" ] || fail "$(field Package) $(field Version)"
for lib in libqt6widgets6 libqt6gui6 libqt6core6 libqt6printsupport6 libchm1 libc6 qt6-qpa-plugins; do
  grep -qE "(^|, )$lib( |,|$)" <<<"$(field Depends)" || fail "Depends lacks $lib: $(field Depends)"
done

dpkg -x "$deb" "$scratch/root"
check_layout "$scratch/root" /usr || fail "the package's tree is wrong"
owners=$(dpkg-deb -c "$deb" | awk '{print $2}' | sort -u) && [ "$owners" = root/root ] || fail "files owned by $owners"
usr="$scratch/root/usr"
said=$(env -u DISPLAY -u WAYLAND_DISPLAY "$usr/bin/nimbolt-sketch" --version) || fail "the program did not run"
[ "$said" = "Nimbolt Sketch $version" ] || fail "the packaged program says '$said'"
grep -q "<release version=\"$version\" date=\"[0-9-]*\"/>" "$usr"/share/metainfo/*.metainfo.xml || fail "metainfo release"
zcat "$usr/share/doc/nimbolt-sketch/changelog.gz" | head -n1 | grep -q "^nimbolt-sketch ($version) " || fail "changelog top"
echo "PASS: $(basename "$deb"), Depends: $(field Depends)"
