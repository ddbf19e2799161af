#!/usr/bin/env bash
# Builds the i686 release and packages it in dist/: renamora-<version>-win32.zip
# holding renamora.exe without its debug information and the user's guide in
# Chinese (使用说明.txt); beside it renamora.exe.debug, which the exe names
# by a debug link, and SHA256SUMS. The same commit gives the same bytes in any
# folder, on any day.
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
cd "$ROOT"

number() { sed -n "s/^#define RENAMORA_VERSION_$1 \([0-9]\+\)$/\1/p" res/version.h; }
version="$(number MAJOR).$(number MINOR).$(number PATCH).$(number BUILD)"
echo "Renamora $version"

bash scripts/build.sh win32 renamora

dist="$ROOT/dist"
zip_name="renamora-$version-win32.zip"
stage="$(mktemp -d)"
trap 'rm -rf "$stage"' EXIT
rm -rf "$dist"
mkdir -p "$dist"

# binutils stamps the PE header of what it writes with the time, unless told
# otherwise.
export SOURCE_DATE_EPOCH=0
exe=build/win32/renamora.exe
i686-w64-mingw32-objcopy --only-keep-debug "$exe" "$dist/renamora.exe.debug"
i686-w64-mingw32-strip --strip-all -o "$stage/renamora.exe" "$exe"
i686-w64-mingw32-objcopy --add-gnu-debuglink="$dist/renamora.exe.debug" "$stage/renamora.exe"

# The guide's name is stored in GBK, the code page in which Windows in Chinese
# reads the names in a zip file that does not say it holds UTF-8 ones.
guide="$(printf '使用说明.txt' | iconv -f UTF-8 -t GBK)"
python3 scripts/guide_text.py README.zh-CN.md "$version" "$stage/$guide"

# Fixed file modes, times and order, and no extra fields (owners, Unix times).
chmod 644 "$stage/renamora.exe" "$stage/$guide"
TZ=UTC touch -d '2000-01-01 00:00:00' "$stage/renamora.exe" "$stage/$guide"
(cd "$stage" && LC_ALL=C TZ=UTC zip -X -q -9 "$dist/$zip_name" renamora.exe "$guide")
(cd "$dist" && sha256sum "$zip_name" renamora.exe.debug >SHA256SUMS)

size() { stat -c %s "$1"; }
echo "renamora.exe: $(size "$exe") bytes as built, $(size "$stage/renamora.exe") stripped"
echo "wrote dist/$zip_name ($(size "$dist/$zip_name") bytes), dist/renamora.exe.debug, dist/SHA256SUMS"
