#!/usr/bin/env bash
# The program is built in layers, and each folder includes only its own layer
# and those below it:
#   app/  ->  filelist/ rename/ export/  ->  command/  ->  platform/
# and only platform/win32/ and app/ see <windows.h>. Prints every include
# that breaks this and "include-check: ok" when none does.
set -uo pipefail
cd "$(dirname "$0")/.."

# What each folder may include besides the C++ library.
allowed() {
  case "$1" in
    platform/win32/*) echo "platform windows" ;;
    platform/*) echo "platform" ;;
    command/*) echo "platform command" ;;
    filelist/* | rename/* | export/*) echo "platform command filelist rename export" ;;
    app/*) echo "platform command filelist rename export app res windows" ;;
  esac
}

broken=0
while IFS= read -r file; do
  may=" $(allowed "$file") "
  while IFS= read -r line; do
    target=$(sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*["<]\([^">]*\)[">].*/\1/p' <<<"$line")
    [ -n "$target" ] || continue
    case "$target" in
      windows.h | shellapi.h | commctrl.h | commdlg.h | shlobj.h | shobjidl.h | objbase.h | \
        uxtheme.h | windowsx.h | dwmapi.h | ole2.h | oleidl.h) top=windows ;;
      */*) top=${target%%/*} ;;
      *) continue ;;  # the C++ library, and its own folder's files by plain name
    esac
    if [[ "$may" != *" $top "* ]]; then
      echo "FAILED: include-check: $file includes $target"
      broken=1
    fi
  done < <(grep -E '^[[:space:]]*#[[:space:]]*include' "$file")
done < <(git ls-files --cached --others --exclude-standard 'platform/*' 'command/*' 'filelist/*' 'rename/*' 'export/*' 'app/*' |
  grep -E '\.(h|cpp)$')

[ "$broken" = 0 ] && echo "include-check: ok"
[ "$broken" = 0 ]
