#!/usr/bin/env bash
# Builds the Debian package from the build tree and checks its name, its dependencies and that it holds
# the programs, the desktop entry, the icons, the man page and the whole share folder.
# Usage: package-contents.sh BUILD_DIR SOURCE_DIR
source "$(dirname "$0")/prelude.sh"

cpack --config "$build/CPackConfig.cmake" -B "$tmp" >"$tmp/cpack.log" 2>&1 || { cat "$tmp/cpack.log"; fail "cpack"; }
version=$("$build/src/kalvor-cli" --version | cut -d' ' -f2)
deb=$tmp/kalvor_${version}_amd64.deb
[ -f "$deb" ] || fail "no $deb; cpack made: $(ls "$tmp")"

dpkg-deb -c "$deb" | awk '{ print $6 }' | sed 's|^\./|/|' >"$tmp/files"
expected=(/usr/bin/kalvor /usr/bin/kalvor-cli /usr/share/applications/kalvor.desktop
  /usr/share/man/man1/kalvor-cli.1.gz /usr/share/man/ru/man1/kalvor-cli.1.gz
  /usr/share/bash-completion/completions/kalvor-cli)
while IFS= read -r file; do
  expected+=("/usr/share/${file#./}")
done < <(cd "$source/share" && find ./icons -type f)
while IFS= read -r file; do
  expected+=("/usr/share/kalvor/${file#./}")
done < <(cd "$source/share" && find . -type f ! -path './applications/*' ! -path './icons/*')
for file in "${expected[@]}"; do
  grep -qxF -- "$file" "$tmp/files" || fail "the package lacks $file"
done

field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = kalvor ] && [ "$(field Architecture)" = amd64 ] || fail "package name or architecture"
field Depends | grep -q 'libqt6widgets6' || fail "Depends lacks the linked Qt libraries: $(field Depends)"
field Depends | grep -q 'qt6-qpa-plugins' || fail "Depends lacks the Qt platform plugins"
field Depends | grep -Eq 'libreoffice|postgresql' && fail "the office suite or the database server is required"
field Recommends | grep -q 'libreoffice-calc' || fail "Recommends lacks the office suite"
field Suggests | grep -q 'postgresql' || fail "Suggests lacks the database server"
echo "$(basename "$deb"): ${#expected[@]} files checked"
