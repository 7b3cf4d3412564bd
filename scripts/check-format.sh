#!/usr/bin/env bash
# Fails when a tracked C++ file is not formatted by the committed .clang-format.
set -euo pipefail
cd "$(dirname "$0")/.."
files=$(git ls-files '*.cpp' '*.h' 2>/dev/null || find . -name '*.cpp' -o -name '*.h')
[ -z "$files" ] && exit 0
clang-format --dry-run -Werror $files
