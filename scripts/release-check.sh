#!/usr/bin/env bash
# Makes the release package and checks it: the zip holds exactly renamora.exe
# and 使用说明.txt; the exe carries no debug sections, weighs under 1 MB,
# imports only Windows' own DLLs and of them only what Windows XP SP3 has,
# is large-address-aware and names its debug
# file by a link that matches it; the manifest carries the version of
# res/version.h; the guide is UTF-8 with a byte-order mark
# and CR LF; SHA256SUMS holds. Then, unless --package is given, builds the
# same sources again in another folder and compares the bytes.
# Prints "package: ..." for each check passed, "FAILED: package: ..." else.
set -uo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
cd "$ROOT"
failures=0
ok() { echo "package: $*"; }
bad() {
  echo "FAILED: package: $*"
  failures=$((failures + 1))
}

if ! bash scripts/release.sh >build/release.log 2>&1; then
  tail -20 build/release.log
  bad "make release failed (log: build/release.log)"
  exit 1
fi
zip=$(ls dist/renamora-*-win32.zip)
guide="$(printf '使用说明.txt' | iconv -f UTF-8 -t GBK)"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
unzip -q "$zip" -d "$work/unzipped"

if [ "$(unzip -Z1 "$zip")" = "$(printf 'renamora.exe\n%s' "$guide")" ]; then
  ok "$zip holds renamora.exe and 使用说明.txt"
else
  bad "$zip holds: $(unzip -Z1 "$zip" | tr '\n' ' ')"
fi

exe="$work/unzipped/renamora.exe"
sections=$(i686-w64-mingw32-objdump -h "$exe" | awk '$2 ~ /^\.z?debug_/ {print $2}')
[ -z "$sections" ] && ok "renamora.exe has no debug sections" ||
  bad "renamora.exe keeps $(echo $sections)"
bytes=$(stat -c %s "$exe")
[ "$bytes" -lt 1000000 ] && ok "renamora.exe is $bytes bytes" || bad "renamora.exe is $bytes bytes"
dlls=$(i686-w64-mingw32-objdump -p "$exe" | awk '/DLL Name:/ {print tolower($3)}' | sort -u)
needs=$(echo "$dlls" | grep -E 'libstdc|libgcc|winpthread|^lib' || true)
[ -z "$needs" ] && ok "renamora.exe imports only: $(echo $dlls)" || bad "renamora.exe needs $needs"
# Windows XP SP3 loads the exe only if its subsystem version is 5.1 or lower
# and every function it imports is one XP's own copy of the DLL exports by
# name; else the loader refuses it with a box of its own, before any of the
# program's code runs.
xp_faults() {
  i686-w64-mingw32-objdump -p "$1" | awk -v list=tests/data/xp-sp3-exports.txt '
    BEGIN {
      while ((getline line < list) > 0) {
        if (line ~ /^\[/) { dll = substr(line, 2, length(line) - 2); known[dll] = 1 }
        else if (line != "" && line !~ /^#/) exported[dll, line] = 1
      }
      dll = ""
    }
    /^MajorSubsystemVersion/ { major = $2 }
    /^MinorSubsystemVersion/ { minor = $2 }
    /^The / { dll = "" }
    /DLL Name:/ {
      dll = toupper($3)
      if (!(dll in known)) print dll ": no list of its XP SP3 exports"
      next
    }
    dll != "" && /^\t[0-9a-f]+\t/ {
      imports++
      if (!((dll, $3) in exported)) print dll " " $3 ": not exported by XP SP3"
    }
    END {
      if (major * 100 + minor > 501) print "subsystem version " major "." minor ", above 5.1"
      if (!imports) print "no imports read"
    }'
}
faults=$(xp_faults "$exe")
if [ -z "$faults" ]; then
  ok "renamora.exe loads on Windows XP SP3: subsystem version and every import checked"
else
  bad "renamora.exe would not start on Windows XP SP3: $(echo $faults)"
fi
i686-w64-mingw32-objdump -p "$exe" | grep 'large address aware' >/dev/null &&
  ok "renamora.exe is large address aware" || bad "renamora.exe lacks the large-address-aware flag"
# The link: the debug file's name, padding, then the CRC-32 of its bytes.
i686-w64-mingw32-objcopy --dump-section .gnu_debuglink="$work/link" "$exe" 2>/dev/null
python3 -c 'import sys, zlib
link = open(sys.argv[1], "rb").read()
sys.exit(link[:19] != b"renamora.exe.debug\0" or
         int.from_bytes(link[-4:], "little") != zlib.crc32(open(sys.argv[2], "rb").read()))' \
  "$work/link" dist/renamora.exe.debug 2>/dev/null &&
  ok "renamora.exe links to renamora.exe.debug" || bad "renamora.exe has no link to renamora.exe.debug"

text="$work/unzipped/$guide"
if [ "$(head -c 3 "$text")" = $'\xef\xbb\xbf' ] && iconv -f UTF-8 -t UTF-8 "$text" >/dev/null &&
   [ "$(grep -c $'\r$' "$text")" = "$(wc -l <"$text")" ] &&
   [ "$(grep -c '' "$text")" = "$(wc -l <"$text")" ]; then
  ok "使用说明.txt is UTF-8 with a byte-order mark and CR LF"
else
  bad "使用说明.txt is not UTF-8 with a byte-order mark and CR LF"
fi
# The manifest is a file the resource compiler takes as it stands, so its
# version is written by hand: it must be the one res/version.h gives.
version=${zip#dist/renamora-}
version=${version%-win32.zip}
manifest=$(grep -o '<assemblyIdentity type="win32" name="Renamora.Renamora" version="[^"]*"' \
  res/renamora.manifest | sed 's/.*version="//; s/"$//')
[ "$manifest" = "$version" ] && ok "the manifest says version $version too" ||
  bad "res/renamora.manifest says version ${manifest:-none}, res/version.h $version"
(cd dist && sha256sum --quiet -c SHA256SUMS) && ok "SHA256SUMS holds" || bad "SHA256SUMS does not hold"

if [ "${1:-}" != --package ]; then
  # The same sources in another folder, built from nothing.
  copy="$work/elsewhere"
  mkdir -p "$copy"
  git ls-files -co --exclude-standard -z | tar -c --null -T - | tar -x -C "$copy"
  if bash "$copy/scripts/release.sh" >"$work/second.log" 2>&1 &&
     cmp "$zip" "$copy/$zip" && cmp dist/renamora.exe.debug "$copy/dist/renamora.exe.debug"; then
    ok "a second build in another folder gives the same bytes"
  else
    tail -5 "$work/second.log"
    bad "a second build in another folder gives other bytes"
  fi
fi
[ "$failures" = 0 ]
