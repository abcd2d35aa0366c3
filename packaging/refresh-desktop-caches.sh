#!/bin/sh
# Usage: refresh-desktop-caches.sh PREFIX
# After `make install` or `make uninstall` straight into PREFIX (no DESTDIR), rebuild the
# caches through which desktops find the MIME type, the desktop entry and the icons; a
# package manager does this itself through its triggers. When nothing is left for a cache
# to describe, the cache goes too. Missing tools are skipped.
share="${1:?usage: $0 PREFIX}/share"

mime="$share/mime"
if command -v update-mime-database >/dev/null && [ -d "$mime" ]; then
  mkdir -p "$mime/packages"
  update-mime-database "$mime"
  if [ -z "$(ls -A "$mime/packages")" ]; then
    (cd "$mime" && rm -f aliases generic-icons globs globs2 icons magic mime.cache subclasses \
      treemagic types version XMLnamespaces)
    find "$mime" -depth -type d -empty -delete
  fi
fi

apps="$share/applications"
if command -v update-desktop-database >/dev/null && [ -d "$apps" ]; then
  update-desktop-database -q "$apps"
  if ! ls "$apps" | grep -q '\.desktop$'; then
    rm -f "$apps/mimeinfo.cache"
    rmdir "$apps" 2>/dev/null || true
  fi
fi

if command -v gtk-update-icon-cache >/dev/null && [ -f "$share/icons/hicolor/index.theme" ]; then
  gtk-update-icon-cache -q -t "$share/icons/hicolor"
fi
exit 0
