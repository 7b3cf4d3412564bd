#!/usr/bin/env bash
# installer.sh BUILD LINUX_BIN: the installer under Wine.
# For all users, silently, with the PATH entry: the files (text with CRLF,
# both programs with their version resource), the Start-menu shortcut, the
# Uninstall entry, the PATH entry and "Open with" for .rom; the window opened
# with a .rom as "Open with" does stops Program UPS at once. With the user's
# own table in %APPDATA% and the installed table edited, a reinstall and an
# uninstall keep both, take everything else away and give the PATH back as
# it was. Then just for the user, without
# Program Files: installed and uninstalled the same way.
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
linux_bin=$2
user_folder="$(winepath -u "$(wine cmd /c echo %APPDATA% </dev/null 2>/dev/null | tr -d '\r')")/Tobrane PROM Loader"
setup=$(ls "$1"/package/tobrane-loader-*-setup.exe)
version=$(basename "$setup" | sed 's/^tobrane-loader-\(.*\)-setup\.exe$/\1/')
folder="$WINEPREFIX/drive_c/Program Files/Tobrane PROM Loader"
shortcut="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Tobrane PROM Loader/Tobrane PROM Loader.lnk"
key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\TobranePromLoader'
open_with='HKLM\Software\Classes\TobranePromLoader.rom\shell\open\command'
environment='HKLM\SYSTEM\CurrentControlSet\Control\Session Manager\Environment'
present() {
  wine reg query "$@" </dev/null >/dev/null 2>&1
}
reg_value() {
  wine reg query "$@" </dev/null 2>/dev/null | tr -d '\r' | sed -n 's/^ *[^ ]* *REG_[A-Z_]* *//p'
}
machine_path() {
  reg_value "$environment" /v Path
}
work=$(mktemp -d)
"$linux_bin/tobrane-makerom" "$work/sample-500.rom" --ups 500 --module 1 --load 0x8000 --size 512 >/dev/null
path_before=$(machine_path)

wine "$setup" /S /AddToPath </dev/null >/dev/null 2>&1 || fail "the installer failed"
for file in tobrane-loader.exe tobrane-cli.exe OEMModel.ini README.txt LICENSE.txt Uninstall.exe; do
  [ -f "$folder/$file" ] || fail "$file was not installed"
done
for file in OEMModel.ini README.txt LICENSE.txt; do
  [ "$(grep -c $'\r$' "$folder/$file")" -eq "$(wc -l < "$folder/$file")" ] || fail "$file has lines without CRLF"
done
for exe in tobrane-loader.exe tobrane-cli.exe; do
  tr -d '\0' < "$folder/$exe" | grep -a "ProductNameTobrane PROM Loader" >/dev/null || fail "$exe has no product name"
  tr -d '\0' < "$folder/$exe" | grep -a "FileVersion$version" >/dev/null || fail "$exe has no file version"
done
[ -f "$shortcut" ] || fail "no Start-menu shortcut"
present "$key" || fail "no Uninstall entry"
[ "$(machine_path)" = "$path_before;C:\\Program Files\\Tobrane PROM Loader" ] || fail "PATH is now $(machine_path)"
command=$(reg_value "$open_with" /ve)
[ "$command" = '"C:\Program Files\Tobrane PROM Loader\tobrane-loader.exe" "%1"' ] || fail "Open with runs $command"
answer=$(wine "$folder/tobrane-cli.exe" --version </dev/null 2>&1 | tr -d '\r' || true)
[ "$answer" = "tobrane-cli $version" ] || fail "tobrane-cli.exe --version said '$answer'"

# The user's own table, with a model of its own, and the installed one are edited.
mkdir -p "$user_folder"
cp "$folder/OEMModel.ini" "$user_folder/"
printf '4711 = Edited Model\r\n' >> "$user_folder/OEMModel.ini"
printf '; edited by an administrator\r\n' >> "$folder/OEMModel.ini"
# From a folder without a table, the user's own one is found.
"$linux_bin/tobrane-makerom" "$work/edited.rom" --ups 4711 --module 1 --load 0x8000 --size 512 >/dev/null
inspected=$(cd "$work" && wine "$folder/tobrane-cli.exe" inspect edited.rom </dev/null 2>&1 | tr -d '\r' || true)
[[ $inspected == *"4711 = Edited Model"* ]] || fail "the user's table was not used: $inspected"

# "Open with": the file is the window's command-line file; without a Connect nothing is written.
set_setting Serial Port 9
(cd "$work" && exec wine "$folder/tobrane-loader.exe" "$(winepath -w "$work/sample-500.rom")") \
  </dev/null >"$work/window.log" 2>&1 &
window_pid=$!
notice_up() {
  probe boxes >/dev/null
  probe wait "UPS Communications " 1
}
wait_until 30 notice_up || fail "the window opened with a .rom showed no start-up notice"
probe press "UPS Communications " 1
transcript_has() {
  probe transcript | grep -q "$1"
}
wait_until 10 transcript_has "^Aborted flash operation" || fail "Program UPS did not stop: $(probe transcript)"
wine_window_stop
wine_window_setup "$1"

wine "$setup" /S </dev/null >/dev/null 2>&1 || fail "the second install failed"
grep -q "Edited Model" "$user_folder/OEMModel.ini" || fail "the reinstall replaced the user's table"
grep -q "edited by an administrator" "$folder/OEMModel.ini" || fail "the reinstall replaced the installed table"
wine "$folder/Uninstall.exe" /S </dev/null >/dev/null 2>&1 || fail "the uninstaller failed"
# The uninstaller runs on from a copy of itself: its end is awaited.
gone() {
  [ ! -e "$folder/tobrane-loader.exe" ] && [ ! -e "$shortcut" ] && ! present "$key"
}
wait_until 30 gone || fail "the uninstall left $(ls -A "$folder" 2>/dev/null | tr '\n' ' ')"
[ "$(ls -A "$folder")" = OEMModel.ini ] || fail "the uninstall left $(ls -A "$folder" | tr '\n' ' ')"
grep -q "Edited Model" "$user_folder/OEMModel.ini" || fail "the uninstall took the user's table"
[ "$(machine_path)" = "$path_before" ] || fail "after the uninstall PATH is $(machine_path)"
present "${open_with%%\\shell*}" && fail "the uninstall left the .rom registration"
rm -rf "$folder" "$user_folder"

# Just for the user: no administrator needed, nothing under Program Files or HKLM.
user_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\TobranePromLoader'
wine "$setup" /S /CurrentUser </dev/null >/dev/null 2>&1 || fail "the per-user install failed"
location=$(reg_value "$user_key" /v InstallLocation)
[[ $location == C:\\users\\* ]] || fail "the per-user install went to '$location'"
personal=$(winepath -u "$location")
[ -f "$personal/tobrane-cli.exe" ] || fail "the per-user install has no tobrane-cli.exe"
[ -e "$folder" ] && fail "the per-user install wrote to Program Files"
present "$key" && fail "the per-user install wrote an all-users Uninstall entry"
wine "$personal/Uninstall.exe" /CurrentUser /S </dev/null >/dev/null 2>&1 || fail "the per-user uninstaller failed"
personal_gone() {
  [ ! -e "$personal" ] && ! present "$user_key"
}
wait_until 30 personal_gone || fail "the per-user uninstall left $(ls -A "$personal" 2>/dev/null | tr '\n' ' ')"
exit $failed
