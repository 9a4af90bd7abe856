#!/usr/bin/env bash
# desktop_files.sh ASSETS: the menu entry and the AppStream metainfo pass their validators, and name each
# other: the metainfo launches the entry, and the entry's icon is the one the install rules put in place.
set -euo pipefail
assets=$1
id=io.github.korvane.Companion
desktop-file-validate "$assets/$id.desktop"
appstreamcli validate --no-net "$assets/$id.metainfo.xml"
grep -qx "<launchable type=\"desktop-id\">$id.desktop</launchable>" <(sed 's/^ *//' "$assets/$id.metainfo.xml")
grep -qx "Icon=$id" "$assets/$id.desktop"
grep -qx "Categories=Game;Utility;" "$assets/$id.desktop"
for key in Name 'Name\[zh_CN\]' Comment 'Comment\[zh_CN\]'; do
  grep -q "^$key=." "$assets/$id.desktop" || { echo "the menu entry has no $key"; exit 1; }
done
echo "menu entry and metainfo are valid"
