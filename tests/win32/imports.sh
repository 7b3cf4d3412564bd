#!/usr/bin/env bash
# imports.sh OBJDUMP EXE...: every DLL that the programs import is one that
# Windows loads from System32 whatever lies beside the program: a KnownDLL,
# or comctl32.dll, which the embedded manifest takes from the side-by-side
# store. Any other (bcrypt.dll was one) belongs in LoadSystemLibrary.
set -euo pipefail
objdump=$1
shift
known=" advapi32.dll comdlg32.dll gdi32.dll imm32.dll kernel32.dll msvcrt.dll ole32.dll oleaut32.dll"
known+=" rpcrt4.dll setupapi.dll shell32.dll shlwapi.dll user32.dll ws2_32.dll comctl32.dll "
failed=0
for exe in "$@"; do
  for dll in $("$objdump" -p "$exe" | sed -n 's/^[[:space:]]*DLL Name: //p' | tr 'A-Z' 'a-z'); do
    case "$known" in
      *" $dll "*) ;;
      *) echo "imports: $(basename "$exe") imports $dll, which is no KnownDLL" >&2; failed=1 ;;
    esac
  done
done
exit $failed
