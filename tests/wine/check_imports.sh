#!/bin/sh
# Fails when the program imports any DLL that is not part of Windows itself: it must start on a
# bare installation, without a compiler's run-time beside it.
#
#   check_imports.sh PROGRAM.exe

set -u

if [ $# -ne 1 ]; then
  echo "usage: $0 PROGRAM.exe" >&2
  exit 2
fi

objdump=${OBJDUMP:-x86_64-w64-mingw32-objdump}
if ! listing=$("$objdump" -p "$1"); then
  echo "$objdump could not read $1" >&2
  exit 2
fi
dlls=$(printf '%s\n' "$listing" | sed -n 's/^[[:space:]]*DLL Name:[[:space:]]*//p' | tr -d '\r')
if [ -z "$dlls" ]; then
  echo "no imports found in $1" >&2
  exit 1
fi

failed=0
for dll in $dlls; do
  case $(printf '%s' "$dll" | tr '[:lower:]' '[:upper:]') in
  ADVAPI32.DLL | COMCTL32.DLL | COMDLG32.DLL | GDI32.DLL | KERNEL32.DLL | MPR.DLL | MSVCRT.DLL | \
    OLE32.DLL | OLEAUT32.DLL | SHELL32.DLL | SHLWAPI.DLL | USER32.DLL | UXTHEME.DLL | \
    VERSION.DLL | WININET.DLL | WINMM.DLL | WS2_32.DLL)
    echo "Windows DLL: $dll"
    ;;
  *)
    echo "not a Windows DLL: $dll"
    failed=1
    ;;
  esac
done
exit $failed
