# check_layout ROOT PREFIX: ROOT holds exactly the installed tree under PREFIX (files and
# links, as `find -printf '%y %P'` lists them), the link relative and leading to the program.
check_layout() {
  local root=$1 prefix=${2#/} want got
  want=$(sed "s|@P@|$prefix|" <<'LIST' | sort
l @P@/bin/nimbolt-sketch
f @P@/lib/nimbolt-sketch/nimbolt-sketch
f @P@/lib/nimbolt-sketch/Help/Nimbolt Sketch Help.chm
f @P@/share/applications/example.nimbolt.NimboltSketch.desktop
f @P@/share/metainfo/example.nimbolt.NimboltSketch.metainfo.xml
f @P@/share/mime/packages/example.nimbolt.NimboltSketch.xml
f @P@/share/icons/hicolor/16x16/apps/nimbolt-sketch.png
f @P@/share/icons/hicolor/32x32/apps/nimbolt-sketch.png
f @P@/share/icons/hicolor/48x48/apps/nimbolt-sketch.png
f @P@/share/icons/hicolor/256x256/apps/nimbolt-sketch.png
f @P@/share/icons/hicolor/scalable/apps/nimbolt-sketch.svg
f @P@/share/icons/hicolor/16x16/mimetypes/application-x-nimbolt-sketch.png
f @P@/share/icons/hicolor/32x32/mimetypes/application-x-nimbolt-sketch.png
f @P@/share/icons/hicolor/48x48/mimetypes/application-x-nimbolt-sketch.png
f @P@/share/icons/hicolor/256x256/mimetypes/application-x-nimbolt-sketch.png
f @P@/share/icons/hicolor/scalable/mimetypes/application-x-nimbolt-sketch.svg
LIST
)
  got=$(cd "$root" && find . -mindepth 1 \( -type f -o -type l \) -printf '%y %P\n' | sort)
  if [ "$want" != "$got" ]; then
    echo "layout differs (< expected, > found):" >&2
    diff <(echo "$want") <(echo "$got") >&2 || true
    return 1
  fi
  local link="$root/$prefix/bin/nimbolt-sketch"
  [ "$(readlink "$link")" = ../lib/nimbolt-sketch/nimbolt-sketch ] ||
    { echo "bin/nimbolt-sketch points to '$(readlink "$link")'" >&2; return 1; }
  [ -x "$root/$prefix/lib/nimbolt-sketch/nimbolt-sketch" ] ||
    { echo "the program is not executable" >&2; return 1; }
  cmp -s "$root/$prefix/share/icons/hicolor/48x48/apps/nimbolt-sketch.png" \
    "$root/$prefix/share/icons/hicolor/48x48/mimetypes/application-x-nimbolt-sketch.png" ||
    { echo "the sketch files' icon is not the program's" >&2; return 1; }
}
