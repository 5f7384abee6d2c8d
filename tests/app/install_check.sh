#!/usr/bin/env bash
# Installs the build into a scratch prefix and checks the desktop files with the freedesktop
# validators:  install_check.sh BUILD_FOLDER
set -euo pipefail
build=$1
id=example.lumenfold.Lumenfold

for tool in desktop-file-validate appstreamcli; do
  command -v "$tool" >/dev/null || { echo "skipped: $tool is not installed"; exit 77; }
done

prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
cmake --install "$build" --prefix "$prefix" --component lumenfold >/dev/null

share=$prefix/share
expected=(
  "$prefix/bin/lumenfold"
  "$share/applications/$id.desktop"
  "$share/metainfo/$id.metainfo.xml"
  "$share/icons/hicolor/scalable/apps/$id.svg"
)
for size in 16 22 24 32 48 64 128 256; do
  expected+=("$share/icons/hicolor/${size}x${size}/apps/$id.png")
done
for file in "${expected[@]}"; do
  [ -s "$file" ] || { echo "missing after install: ${file#"$prefix"/}"; exit 1; }
done
[ -x "$prefix/bin/lumenfold" ] || { echo "bin/lumenfold is not executable"; exit 1; }
# The launcher passes no file arguments: the window reads no command line.
if grep -Eq '^(Exec=.*%[fFuU]|MimeType=)' "$share/applications/$id.desktop"; then
  echo "the launcher must not take files"; exit 1
fi

desktop-file-validate "$share/applications/$id.desktop"
appstreamcli validate --no-net "$share/metainfo/$id.metainfo.xml"
