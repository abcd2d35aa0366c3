# check_layout ROOT PREFIX: ROOT holds exactly the installed files and links, the link relative.
check_layout() {
  local root=$1 p=${2#/} id=example.nimbolt.NimboltSketch want got
  local icons=$p/share/icons/hicolor pic=(apps/nimbolt-sketch mimetypes/application-x-nimbolt-sketch)
  want=$(printf '%s\n' "l $p/bin/nimbolt-sketch" \
    "f $p/lib/nimbolt-sketch/"{nimbolt-sketch,"Help/Nimbolt Sketch Help.chm"} \
    "f $p/share/"{applications/$id.desktop,metainfo/$id.metainfo.xml,mime/packages/$id.xml} \
    "f $p/share/"{man/man1/nimbolt-sketch.1.gz,doc/nimbolt-sketch/copyright,doc/nimbolt-sketch/changelog.gz} \
    "f $icons/"{16x16,32x32,48x48,256x256}/{"${pic[0]}","${pic[1]}"}.png \
    "f $icons/scalable/"{"${pic[0]}","${pic[1]}"}.svg | sort)
  got=$(cd "$root" && find . -mindepth 1 \( -type f -o -type l \) -printf '%y %P\n' | sort)
  bad() { echo "$*" >&2; return 1; }
  [ "$want" = "$got" ] || bad "layout differs (< expected): $(diff <(echo "$want") <(echo "$got"))" || return
  [ "$(readlink "$root/$p/bin/nimbolt-sketch")" = ../lib/nimbolt-sketch/nimbolt-sketch ] || bad "link elsewhere" || return
  [ -x "$root/$p/lib/nimbolt-sketch/nimbolt-sketch" ] || bad "the program is not executable" || return
  cmp -s "$root/$icons/48x48/${pic[0]}.png" "$root/$icons/48x48/${pic[1]}.png" || bad "sketch icon differs" || return
  # help2man put the options from --help and the sections of the .h2m file in the page
  [ "$(zgrep -cE '^\.SH "?(OPTIONS|FILES|EXIT STATUS)' "$root/$p/share/man/man1/nimbolt-sketch.1.gz")" = 3 ] || bad "man page"
}
