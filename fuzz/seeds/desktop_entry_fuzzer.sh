#!/usr/bin/env bash
# Seeds for the launcher reader: one of ours and one in the style of other programs.
set -euo pipefail
out=$1
cat > "$out/ours.desktop" <<'ENTRY'
[Desktop Entry]
Type=Application
Name=My viewer
Exec="/opt/my apps/pi\\"re\\$la%%/pirela" %f
Path=/opt/my apps
Icon=pirela
MimeType=image/bmp;image/jpeg;image/png;
ENTRY
cat > "$out/other.desktop" <<'ENTRY'
# a comment
[Desktop Entry]
Name[ja]=画像ビューア
Name = Image Viewer\s
Exec=env GDK_BACKEND=x11 eog %U
[Desktop Action new-window]
Exec=eog --new-window
ENTRY
