#!/usr/bin/env bash
# check-deb.sh BUILD_DIR: builds the .deb with cpack and checks that it holds
# the executables, the desktop entry, the icon and the examples, nothing of
# the tests, and that its Depends name the Qt and C++ runtime packages.
set -euo pipefail
build=$1
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
failed=0
fail() {
  echo "check-deb: $*" >&2
  failed=1
}

if ! cpack -G DEB --config "$build/CPackConfig.cmake" -B "$out" > "$out/cpack.log" 2>&1; then
  cat "$out/cpack.log" >&2
  exit 1
fi
debs=("$out"/*.deb)
[ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || { echo "check-deb: expected one .deb in $out" >&2; exit 1; }
deb=${debs[0]}
[[ $(basename "$deb") == tobrane-loader_*_*.deb ]] || fail "package file name $(basename "$deb")"

files=$(dpkg-deb -c "$deb" | awk '{print $6}')
for f in usr/bin/tobrane-loader usr/bin/tobrane-cli usr/bin/tobrane-upssim usr/bin/tobrane-makerom \
         usr/share/applications/tobrane-loader.desktop \
         usr/share/icons/hicolor/scalable/apps/tobrane-loader.svg \
         usr/share/doc/tobrane-loader/examples/OEMModel.ini \
         usr/share/doc/tobrane-loader/examples/sim-profiles/default.json \
         usr/share/doc/tobrane-loader/examples/sim-profiles/power-module.json; do
  grep -qx "\./$f" <<< "$files" || fail "missing $f"
done
if grep -E 'test_|\.a$|/include/' <<< "$files"; then fail "test or build files packed"; fi

depends=$(dpkg-deb -f "$deb" Depends)
# One package name a line, versions and alternatives' bars dropped.
names=$(sed 's/ *([^)]*)//g; s/ *[,|] */\n/g' <<< "$depends")
for p in libqt6widgets6 libqt6gui6 libqt6core6 libstdc++6 libc6; do
  grep -Fqx "$p" <<< "$names" || fail "Depends lacks $p: $depends"
done
[ "$(dpkg-deb -f "$deb" Package)" = tobrane-loader ] || fail "package name"

[ $failed -eq 0 ] && echo "check-deb: $(basename "$deb"), Depends: $depends"
exit $failed
