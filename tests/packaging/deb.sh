#!/usr/bin/env bash
# The Debian package: cpack builds it from this build folder into a scratch folder; its
# control fields carry the libraries dpkg-shlibdeps found, and `dpkg -x` into a scratch
# root gives exactly the installed tree under /usr, whose program runs from the link.
set -euo pipefail
build=$(cd "${1:?usage: $0 BUILD_FOLDER}" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
source "$here/layout.sh"
fail() { echo "FAIL: $*" >&2; exit 1; }
for tool in cpack dpkg-deb dpkg-shlibdeps; do
  command -v "$tool" >/dev/null || fail "$tool is not installed"
done
scratch=$(mktemp -d "${TMPDIR:-/tmp}/nimbolt-deb.XXXXXX")
trap 'rm -rf "$scratch"' EXIT

(cd "$build" && cpack -G DEB -B "$scratch/out") >"$scratch/cpack.log" 2>&1 ||
  fail "cpack failed: $(tail -n 20 "$scratch/cpack.log")"
debs=("$scratch"/out/*.deb)
[ ${#debs[@]} = 1 ] && [ -f "${debs[0]}" ] || fail "expected one .deb, found: $(ls "$scratch/out")"
deb=${debs[0]}
arch=$(dpkg --print-architecture)
[ "$(basename "$deb")" = "nimbolt-sketch_1.0_$arch.deb" ] || fail "package file is $(basename "$deb")"

field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = nimbolt-sketch ] || fail "Package: $(field Package)"
[ "$(field Version)" = 1.0 ] || fail "Version: $(field Version)"
[ "$(field Architecture)" = "$arch" ] || fail "Architecture: $(field Architecture)"
depends=$(field Depends)
for lib in libqt6widgets6 libqt6gui6 libqt6core6 libqt6printsupport6 libchm1 libc6 qt6-qpa-plugins; do
  grep -qE "(^|, )$lib( |,|$)" <<<"$depends" || fail "Depends lacks $lib: $depends"
done
echo "control: $(field Package) $(field Version) $(field Architecture); Depends: $depends"

dpkg -x "$deb" "$scratch/root"
check_layout "$scratch/root" /usr || fail "the package's tree is wrong"
[ "$(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ {print $2}' | cut -d/ -f2 | sort -u)" = root ] ||
  fail "files not owned by root: $(dpkg-deb -c "$deb" | awk '$2 != "root/root"')"
echo "dpkg -x: the tree under /usr is complete and owned by root"

version=$(env -u DISPLAY -u WAYLAND_DISPLAY "$scratch/root/usr/bin/nimbolt-sketch" --version) ||
  fail "the packaged program did not run"
[ "$version" = "Nimbolt Sketch 1.0" ] || fail "the packaged program says '$version'"
echo "the packaged program runs: $version"
echo PASS
