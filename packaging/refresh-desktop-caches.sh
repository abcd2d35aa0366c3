#!/bin/sh
# Usage: refresh-desktop-caches.sh PREFIX
# After `make install` or `make uninstall` straight into PREFIX (no DESTDIR), rebuild the
# caches through which desktops find the MIME type, the desktop entry and the icons. A
# package manager does this itself through its triggers. Missing tools are skipped.
share="${1:?usage: $0 PREFIX}/share"
if command -v update-mime-database >/dev/null && [ -d "$share/mime" ]; then
  update-mime-database "$share/mime"
fi
if command -v update-desktop-database >/dev/null && [ -d "$share/applications" ]; then
  update-desktop-database -q "$share/applications"
fi
if command -v gtk-update-icon-cache >/dev/null && [ -f "$share/icons/hicolor/index.theme" ]; then
  gtk-update-icon-cache -q -t "$share/icons/hicolor"
fi
exit 0
