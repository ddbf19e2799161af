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

wine_prefix_ready() {
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
