# Sourced: the environment of a fast, quiet Wine session that never prompts or hangs.
# WINEPREFIX must be set by the caller.
export WINEARCH=win64
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES="mscoree,mshtml="
export PATH="/usr/lib/wine:$PATH"
WINE=/usr/lib/wine/wine64
WINESERVER=/usr/lib/wine/wineserver

# Creates the prefix once, with no crash dialog (a crashing test would hang forever),
# unmanaged windows (hiding one takes seconds without a window manager otherwise) and
# "Segoe UI" drawn in Wine's own Tahoma (fonts-wine): left to itself, Wine picks a face from
# the machine's fonts, and sizes that follow the text would differ from machine to machine.
wine_prepare_prefix() {
  [ -f "$WINEPREFIX/.tarvex-ready" ] && [ -f "$WINEPREFIX/.tarvex-fonts" ] && return 0
  mkdir -p "$WINEPREFIX"
  "$WINE" wineboot -i >/dev/null 2>&1 || true
  "$WINE" reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
  "$WINE" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
  # Wine reads the faces of fonts-wine only once they are in the prefix's Fonts folder.
  cp /usr/share/wine/fonts/tahoma*.ttf "$WINEPREFIX/drive_c/windows/Fonts/"
  "$WINE" reg add 'HKCU\Software\Wine\Fonts\Replacements' /v 'Segoe UI' /t REG_SZ /d Tahoma /f \
    >/dev/null 2>&1
  "$WINESERVER" -w
  touch "$WINEPREFIX/.tarvex-ready" "$WINEPREFIX/.tarvex-fonts"
}

# Beside the prefix, a copy whose screen is at 144 DPI (150 %), for the high-DPI tests: Wine 8
# has one DPI per prefix, read when its server starts.
wine_prepare_dpi_prefix() {
  local copy=$WINEPREFIX-144
  [ -f "$copy/.tarvex-144" ] && [ -f "$copy/.tarvex-fonts" ] && return 0
  rm -rf "$copy"
  cp -a "$WINEPREFIX" "$copy"
  WINEPREFIX=$copy "$WINE" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD \
    /d 144 /f >/dev/null 2>&1
  WINEPREFIX=$copy "$WINESERVER" -w
  touch "$copy/.tarvex-144"
}

# A persistent server and Wine's services for both prefixes, started before ctest: started
# inside ctest, the services would inherit its output pipe and hold every test open.
wine_start_session() {
  for prefix in "$WINEPREFIX" "$WINEPREFIX-144"; do
    WINEPREFIX=$prefix "$WINESERVER" -p
    WINEPREFIX=$prefix "$WINE" cmd /c exit >/dev/null 2>&1 </dev/null || true
  done
}

wine_stop_session() {
  for prefix in "$WINEPREFIX" "$WINEPREFIX-144"; do
    WINEPREFIX=$prefix "$WINESERVER" -k 2>/dev/null || true
  done
}
