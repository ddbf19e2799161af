# Sourced: a Wine prefix of the project's own under build/, code page 936
# (from the zh_CN locale), no debug noise, no installer prompts, and the
# headless graphics driver unless RENAMORA_WINE_DISPLAY=x11 asks for X.
ROOT="${ROOT:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)}"
export WINEPREFIX="$ROOT/build/wineprefix"
export WINEARCH=win64
export LC_ALL=zh_CN.UTF-8
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
WINE64=/usr/lib/wine/wine64
# The 32-bit loader, which runs the release renamora.exe. A prefix made
# while it is installed serves 32-bit and 64-bit programs alike.
WINE32=/usr/lib/wine/wine

# Whether 32-bit programs run here: 32-bit Wine must be installed and the
# kernel must take 32-bit code (some refuse it: "Exec format error").
wine_runs_32bit() {
  "$WINE32" --version >/dev/null 2>&1
}

# Which build the Win32 tests, `make run` and the benchmark use: the i686
# release where 32-bit code runs, else the x86_64 build of the same sources.
# Sets RELEASE_BUILD (win32 or win64) and RELEASE_WINE (its loader), and
# says so once when it has to fall back.
wine_pick_build() {
  if wine_runs_32bit; then
    RELEASE_BUILD=win32
    RELEASE_WINE="$WINE32"
  else
    RELEASE_BUILD=win64
    RELEASE_WINE="$WINE64"
    echo "note: this machine runs no 32-bit program ($WINE32 --version fails); using the x86_64 build instead"
  fi
}

wine_prefix_ready() {
  # A prefix made before 32-bit Wine was installed has no 32-bit system
  # folder and cannot run the release: it is made again.
  if [ -f "$WINEPREFIX/system.reg" ] && wine_runs_32bit &&
     [ ! -d "$WINEPREFIX/drive_c/windows/syswow64" ]; then
    /usr/lib/wine/wineserver -k 2>/dev/null || true
    rm -rf "$WINEPREFIX"
  fi
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    mkdir -p "$WINEPREFIX"
    "$WINE64" wineboot -i >/dev/null 2>&1 || true
    /usr/lib/wine/wineserver -w || true
  fi
  # Wine draws the caption buttons with Marlett and Latin dialog text with
  # Tahoma; this build finds its own copies only in the prefix's font folder.
  local fonts="$WINEPREFIX/drive_c/windows/Fonts"
  if [ -d /usr/share/wine/fonts ] && [ ! -e "$fonts/marlett.ttf" ]; then
    mkdir -p "$fonts"
    local font
    for font in /usr/share/wine/fonts/*.ttf; do
      [ -e "$fonts/${font##*/}" ] || ln -s "$font" "$fonts/"
    done
  fi
  local want="${RENAMORA_WINE_DISPLAY:-null}"
  if [ "$(cat "$WINEPREFIX/.renamora-graphics" 2>/dev/null)" != "$want" ]; then
    if [ "$want" = null ]; then
      "$WINE64" reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f >/dev/null 2>&1
    else
      "$WINE64" reg delete 'HKCU\Software\Wine\Drivers' /v Graphics /f >/dev/null 2>&1 || true
    fi
    /usr/lib/wine/wineserver -w || true
    echo "$want" >"$WINEPREFIX/.renamora-graphics"
  fi
}

# The display scale of the prefix: Wine takes it from LogPixels when a
# process starts. wine_set_dpi DPI sets it and keeps the value it had;
# wine_restore_dpi puts that back (or removes the value, as it was missing).
WINE_DPI_KEY='HKCU\Control Panel\Desktop'
wine_set_dpi() {
  if [ -z "${WINE_DPI_SAVED+set}" ]; then
    WINE_DPI_SAVED=$("$WINE64" reg query "$WINE_DPI_KEY" /v LogPixels 2>/dev/null |
      awk '$1 == "LogPixels" {print $3}' | tr -d '\r' || true)
  fi
  "$WINE64" reg add "$WINE_DPI_KEY" /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null 2>&1
  # Processes still running (the desktop among them) keep the old scale.
  /usr/lib/wine/wineserver -k 2>/dev/null || true
  /usr/lib/wine/wineserver -w 2>/dev/null || true
}
wine_restore_dpi() {
  [ -n "${WINE_DPI_SAVED+set}" ] || return 0
  if [ -n "$WINE_DPI_SAVED" ]; then
    "$WINE64" reg add "$WINE_DPI_KEY" /v LogPixels /t REG_DWORD /d "$((WINE_DPI_SAVED))" /f \
      >/dev/null 2>&1
  else
    "$WINE64" reg delete "$WINE_DPI_KEY" /v LogPixels /f >/dev/null 2>&1 || true
  fi
  /usr/lib/wine/wineserver -k 2>/dev/null || true
  /usr/lib/wine/wineserver -w 2>/dev/null || true
  unset WINE_DPI_SAVED
}

# The Windows version Wine reports to programs (winxp, win7, win10), taken
# when a process starts; empty: Wine's own default again.
wine_set_windows() {
  if [ -n "$1" ]; then
    "$WINE64" reg add 'HKCU\Software\Wine' /v Version /d "$1" /f >/dev/null 2>&1
  else
    "$WINE64" reg delete 'HKCU\Software\Wine' /v Version /f >/dev/null 2>&1 || true
  fi
  /usr/lib/wine/wineserver -k 2>/dev/null || true
  /usr/lib/wine/wineserver -w 2>/dev/null || true
}
