#!/usr/bin/env bash
# check_packaging.sh BUILD VERSION
# Installs the built program into a scratch prefix and checks what a desktop reads from there
# with the freedesktop.org validators; then makes the Debian package and has lintian judge it.
# Prints every finding and fails on any of them, except lintian's warnings and notes.
set -uo pipefail
build=$1 version=$2
app_id=org.example.velkaro
mime_type=application/x-velkaro-show

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}
section() { printf '\n== %s ==\n' "$1"; }

section "cmake --install"
# The service and its settings go to the system's folders, so the install goes below DESTDIR.
root=$scratch/root
prefix=$root/usr
DESTDIR=$root cmake --install "$build" --prefix /usr || fail "cmake --install failed"

section "program"
[ -x "$prefix/bin/velkaro" ] || fail "bin/velkaro is missing or not executable"
[ ! -e "$prefix/bin/Velkaro" ] || fail "bin/Velkaro installed beside bin/velkaro"

[ -x "$prefix/bin/velkaro-player" ] || fail "bin/velkaro-player is missing or not executable"

section "player service"
unit=$root/lib/systemd/system/velkaro-player.service
defaults=$root/etc/default/velkaro-player
[ -f "$unit" ] || fail "the service velkaro-player.service is not installed"
[ -f "$defaults" ] || fail "/etc/default/velkaro-player is not installed"
if command -v systemd-analyze >/dev/null; then
  # Checked as the system would load it, with the settings file where the unit reads it.
  findings=$(systemd-analyze verify --root="$root" /lib/systemd/system/velkaro-player.service 2>&1 |
    grep -v "not found\|Command .man\|Failed to prepare filename\|not executable")
  [ -z "$findings" ] || fail "systemd-analyze: $findings"
fi
grep -q "^EnvironmentFile=/etc/default/velkaro-player$" "$unit" || fail "the service does not read its settings"
grep -q "^DynamicUser=yes$" "$unit" || fail "the service would run as root"
grep -q "^After=olad.service$" "$unit" || fail "the service does not start after olad"
# shellcheck disable=SC1090
(. "$defaults" && [ -n "$VELKARO_PLAYER_FILE" ] && [ -n "$VELKARO_PLAYER_UNIVERSE" ]) ||
  fail "the settings name no file or universe"

section "desktop entry"
desktop=$prefix/share/applications/$app_id.desktop
# The validator returns success on mere warnings; anything it says is a finding.
findings=$(desktop-file-validate "$desktop" 2>&1) && [ -z "$findings" ] ||
  fail "desktop-file-validate: $findings"
grep -qx "Exec=velkaro %f" "$desktop" || fail "Exec does not start velkaro with one file"
grep -qx "Icon=$app_id" "$desktop" || fail "Icon is not $app_id"
grep -qx "MimeType=$mime_type;" "$desktop" || fail "MimeType is not $mime_type"

section "icons"
for size in 16 32 48 64 128 256; do
  icon=$prefix/share/icons/hicolor/${size}x${size}/apps/$app_id.png
  file -b "$icon" | grep -q "^PNG image data, $size x $size," ||
    fail "$icon is not a $size x $size PNG"
done
xmllint --noout "$prefix/share/icons/hicolor/scalable/apps/$app_id.svg" ||
  fail "the scalable icon is not well-formed XML"

section "file type"
mime_xml=$prefix/share/mime/packages/$app_id.xml
xmllint --noout "$mime_xml" || fail "$mime_xml is not well-formed XML"
# Compile the definition as a desktop would and read the resulting glob table: show files
# must match whatever the letter case of their extension (no "cs" flag on the glob).
cp -r "$prefix/share/mime" "$scratch/mime"
XDG_DATA_DIRS=$scratch update-mime-database "$scratch/mime" || fail "update-mime-database refused the definition"
grep "$mime_type" "$scratch/mime/globs2"
grep -qx "[0-9]*:$mime_type:\*\.dmx" "$scratch/mime/globs2" &&
  ! grep -q ":$mime_type:.*:cs$" "$scratch/mime/globs2" ||
  fail "*.dmx is not a case-insensitive glob of $mime_type"

section "AppStream metadata"
metainfo=$prefix/share/metainfo/$app_id.metainfo.xml
appstreamcli validate --no-net "$metainfo" || fail "appstreamcli validate"
xmllint --xpath "string(/component/launchable[@type='desktop-id'])" "$metainfo" |
  grep -qx "$app_id.desktop" || fail "the launchable is not $app_id.desktop"
xmllint --xpath "string(/component/releases/release[1]/@version)" "$metainfo" |
  grep -qx "$version" || fail "the newest release in the metadata is not $version"

section "manual page"
for page in velkaro velkaro-player; do
  manpage=$prefix/share/man/man1/$page.1.gz
  groff_findings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l -Tutf8 -Z "$manpage" 2>&1 >/dev/null)
  [ -z "$groff_findings" ] || fail "groff ($page): $groff_findings"
done
zcat "$prefix/share/doc/velkaro/changelog.gz" | head -n1 | grep -q "^velkaro ($version)" ||
  fail "the changelog does not begin with version $version"

section "Debian package"
cpack -G DEB -B "$scratch/package" --config "$build/CPackConfig.cmake" >"$scratch/cpack.log" 2>&1 ||
  { cat "$scratch/cpack.log"; fail "cpack -G DEB failed"; }
package=$(ls "$scratch"/package/velkaro_"$version"_*.deb 2>/dev/null)
if [ -z "$package" ]; then
  fail "no velkaro_${version}_*.deb was made"
else
  echo "$(basename "$package")"
  dpkg-deb --info "$package"
  depends=$(dpkg-deb --field "$package" Depends)
  for needed in libqt6widgets6 libc6 qt6-qpa-plugins libzstd1; do
    grep -q "\b$needed\b" <<<"$depends" || fail "Depends lacks $needed"
  done
  dpkg-deb --extract "$package" "$scratch/unpacked"
  for program in velkaro velkaro-player; do
    file -b "$scratch/unpacked/usr/bin/$program" | grep -q ", stripped" ||
      fail "usr/bin/$program is not stripped"
  done
  [ -f "$scratch/unpacked/lib/systemd/system/velkaro-player.service" ] ||
    fail "the package lacks the player's service"
  dpkg-deb --ctrl-tarfile "$package" | tar -xO ./conffiles 2>/dev/null |
    grep -qx /etc/default/velkaro-player || fail "/etc/default/velkaro-player is no conffile"
  # The player needs no part of Qt: it runs on a machine without a display.
  ! objdump -p "$scratch/unpacked/usr/bin/velkaro-player" | grep -q "NEEDED.*Qt" ||
    fail "velkaro-player links Qt"

  section "lintian"
  # Lintian's exit status follows its errors only; print everything it says.
  lintian_output=$(lintian --display-info --pedantic "$package" 2>&1)
  echo "$lintian_output"
  ! grep -q "^E: " <<<"$lintian_output" || fail "lintian reports errors"
fi

section "result"
[ "$failures" -eq 0 ] && echo "packaging checks: all passed" && exit 0
echo "packaging checks: $failures failed"
exit 1
