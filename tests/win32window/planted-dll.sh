#!/usr/bin/env bash
# planted-dll.sh BUILD: DLLs named Msftedit.dll, bcrypt.dll and comctl32.dll
# planted beside the window and tobrane-cli.exe are never loaded (each
# would leave NAME.loaded beside itself), and both programs still work.
# rundll32 loading one by its path first proves that a load leaves the trace.
set -euo pipefail
if [ -z "${TOBRANE_XVFB:-}" ]; then
  TOBRANE_XVFB=1 exec xvfb-run -a -s "-screen 0 800x600x24" "$0" "$@"
fi
here=$(cd "$(dirname "$0")" && pwd)
. "$here/wine-window.sh"
work=$(mktemp -d)
trap 'wine_window_stop; rm -rf "$work"' EXIT
fail() {
  echo "planted-dll: $*" >&2
  exit 1
}

wine_window_setup "$1"
planted=(Msftedit.dll bcrypt.dll comctl32.dll)
cp "$wine_bin/tobrane-loader.exe" "$wine_bin/tobrane-cli.exe" "$work/"
for name in "${planted[@]}" control.dll; do cp "$wine_bin/planted-dll.dll" "$work/$name"; done
wine rundll32.exe "$(winepath -w "$work/control.dll")",Touch </dev/null >/dev/null 2>&1 || true
[ -f "$work/control.dll.loaded" ] || fail "the planted DLL leaves no trace even when loaded"

answer=$(cd "$work" && wine ./tobrane-cli.exe --version </dev/null 2>&1 | tr -d '\r') || fail "tobrane-cli.exe failed: $answer"
set_setting Serial Port 9
# A table at hand, so no warning box holds the window back.
cp "$here/../../examples/OEMModel.ini" "$work/"
start_window "$work"
wait_until 30 probe alive || fail "the window did not start"
ls "$work"/*.loaded 2>/dev/null | grep -v control.dll.loaded && fail "a planted DLL was loaded"
exit 0
