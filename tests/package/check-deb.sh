#!/usr/bin/env bash
# check-deb.sh BUILD_DIR: builds the .deb with cpack and checks that it holds
# the executables, the desktop entry, the icon, the examples, the model table
# template, the report schema, the manual pages and the bash completion,
# nothing of the tests; that its Depends name the Qt and C++ runtime
# packages; that lintian finds no error and no warning; that the desktop
# entry and the AppStream file validate; and that man renders tobrane-cli's
# page with its options and exit statuses.
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
         usr/share/doc/tobrane-loader/examples/sim-profiles/power-module.json \
         usr/share/doc/tobrane-loader/copyright usr/share/doc/tobrane-loader/changelog.gz \
         usr/share/tobrane-loader/OEMModel.ini usr/share/tobrane-loader/run-report.schema.json \
         usr/share/man/man1/tobrane-cli.1.gz usr/share/man/man1/tobrane-loader.1.gz \
         usr/share/man/man1/tobrane-upssim.1.gz usr/share/man/man1/tobrane-makerom.1.gz \
         usr/share/bash-completion/completions/tobrane-cli \
         usr/share/metainfo/example.ostrand_electronics.TobranePromLoader.metainfo.xml; do
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

# lintian's own verdict, every tag of error or warning severity.
lintian --fail-on none --tag-display-limit 0 "$deb" > "$out/lintian.txt" 2>&1 || fail "lintian did not run"
if grep -E '^[EW]: ' "$out/lintian.txt"; then fail "lintian reports errors or warnings"; fi

tree=$out/tree
dpkg-deb -x "$deb" "$tree"
desktop-file-validate "$tree/usr/share/applications/tobrane-loader.desktop" || fail "desktop entry"
appstreamcli validate --no-net "$tree"/usr/share/metainfo/*.metainfo.xml > "$out/appstream.txt" 2>&1 ||
  { cat "$out/appstream.txt" >&2; fail "AppStream file"; }
bash -n "$tree/usr/share/bash-completion/completions/tobrane-cli" || fail "bash completion"
# Rendered as a reader sees it, runs of blanks made one.
page=$(MANWIDTH=80 man -l "$tree/usr/share/man/man1/tobrane-cli.1.gz" 2>&1 | col -b | tr -s ' \t' ' ')
for part in "--device PATH" "--models PATH" "--report FILE" "EXIT STATUS" "the serial device cannot be opened" \
            "130 interrupted (SIGINT)" "FILES" "/usr/share/tobrane-loader/run-report.schema.json"; do
  grep -qF -- "$part" <<< "$page" || fail "man tobrane-cli lacks: $part"
done

[ $failed -eq 0 ] && echo "check-deb: $(basename "$deb"), Depends: $depends"
exit $failed
