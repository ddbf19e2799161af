#!/usr/bin/env bash
# Installs every Debian package the build, the tests, the screenshots and
# `make fresh-check` need, on a machine that may have nothing but a minimal
# system and make. Quick and silent when everything is already present.
set -euo pipefail

packages=(
  cmake make git g++ googletest libgtest-dev libgmock-dev libbenchmark-dev
  g++-mingw-w64-x86-64-win32 g++-mingw-w64-i686-win32 binutils-mingw-w64
  wine wine64 xvfb xauth imagemagick librsvg2-bin locales
  fonts-wqy-microhei fonts-wine clang-format clang libclang-rt-14-dev
  zip unzip python3
  debootstrap
)

# The Windows builds use MinGW's win32 thread model: the posix one links in
# a runtime that imports functions Windows XP lacks.

# The release is a 32-bit program: 32-bit Wine runs it. Its package comes
# from the i386 architecture, which dpkg must know first.
packages+=(wine32:i386)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

sudo_cmd=()
if [ "$(id -u)" != 0 ]; then sudo_cmd=(sudo); fi

if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    "${sudo_cmd[@]}" dpkg --add-architecture i386
  fi
  "${sudo_cmd[@]}" apt-get update -qq
  "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# Wine's ANSI code page follows the locale: zh_CN.UTF-8 makes it 936 (GBK).
if ! locale -a 2>/dev/null | grep -qi '^zh_CN\.utf-\?8$'; then
  echo "setup: generating the zh_CN.UTF-8 locale"
  if ! grep -q '^zh_CN.UTF-8 UTF-8' /etc/locale.gen 2>/dev/null; then
    echo 'zh_CN.UTF-8 UTF-8' | "${sudo_cmd[@]}" tee -a /etc/locale.gen >/dev/null
  fi
  "${sudo_cmd[@]}" locale-gen >/dev/null
fi
