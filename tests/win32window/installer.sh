#!/usr/bin/env bash
# installer.sh BUILD: the installer under Wine. A silent install puts the
# files, the Start-menu shortcut and the Uninstall entry in place; the
# installed tobrane-cli.exe answers --version and the installed window
# starts; a silent uninstall leaves no file, no shortcut and no Uninstall entry.
set -euo pipefail
if [ -z "${TOBRANE_XVFB:-}" ]; then
  TOBRANE_XVFB=1 exec xvfb-run -a -s "-screen 0 800x600x24" "$0" "$@"
fi
here=$(cd "$(dirname "$0")" && pwd)
. "$here/wine-window.sh"
work=""
trap 'wine_window_stop; [ -z "$work" ] || rm -rf "$work"' EXIT
failed=0
fail() {
  echo "installer: $*" >&2
  failed=1
}

wine_window_setup "$1"
setup=$(ls "$1"/package/tobrane-loader-*-setup.exe)
version=$(basename "$setup" | sed 's/^tobrane-loader-\(.*\)-setup\.exe$/\1/')
folder="$WINEPREFIX/drive_c/Program Files/Tobrane PROM Loader"
shortcut="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Tobrane PROM Loader/Tobrane PROM Loader.lnk"
key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\TobranePromLoader'
uninstall_key_present() {
  wine reg query "$key" </dev/null >/dev/null 2>&1
}

wine "$setup" /S </dev/null >/dev/null 2>&1 || fail "the installer failed"
for file in tobrane-loader.exe tobrane-cli.exe OEMModel.ini README.txt Uninstall.exe; do
  [ -f "$folder/$file" ] || fail "$file was not installed"
done
[ -f "$shortcut" ] || fail "no Start-menu shortcut"
uninstall_key_present || fail "no Uninstall entry"
answer=$(wine "$folder/tobrane-cli.exe" --version </dev/null 2>&1 | tr -d '\r' || true)
[ "$answer" = "tobrane-cli $version" ] || fail "tobrane-cli.exe --version said '$answer'"
work=$(mktemp -d)
(cd "$work" && exec wine "$folder/tobrane-loader.exe") </dev/null >"$work/window.log" 2>&1 &
window_pid=$!
# Whatever port the settings name, the main window is up.
wait_until 30 probe alive || fail "the installed window did not start"
wine_window_stop
wine_window_setup "$1"

wine "$folder/Uninstall.exe" /S </dev/null >/dev/null 2>&1 || fail "the uninstaller failed"
# The uninstaller runs on from a copy of itself: its end is awaited.
gone() {
  [ ! -e "$folder" ] && [ ! -e "$shortcut" ] && ! uninstall_key_present
}
wait_until 30 gone || fail "the uninstall left $(ls -A "$folder" 2>/dev/null | tr '\n' ' ')"
exit $failed
