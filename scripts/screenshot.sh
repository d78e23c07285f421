#!/usr/bin/env bash
# Takes the README's pictures: Tarvex under Wine in the test sandbox (its own network namespace,
# only loopback), monitoring loopback targets only. Two ports answer (small HTTP servers on
# 127.0.0.1), the others do not (closed ports, and an address of the sandbox's black hole).
# Writes alert-balloon.png (the notification area's first balloon and the main window's
# header), screenshot.png (main window), details-tip.png (a row's details in a tooltip) with
# details-copied.txt (what Ctrl+Shift+C copied), log-window.png, config-window.png and
# config-validation.png.
#   scripts/screenshot.sh [build-dir] [out-dir]   (defaults build/win and docs; Tarvex.exe
#                                                  must be built in build-dir)
# With TARVEX_DPI=144 the same targets at 144 DPI (150 %), in the prefix's copy at that DPI:
# screenshot-144.png (both panels), details-tip-144.png, details-copied-144.txt,
# config-window-144.png, and screen-reader-144.txt, what the
# window tests' screen reader (tarvex_tests.exe run as the reader) reads from another process.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
build=${1:-build/win}
out=${2:-docs}
export WINEPREFIX=${WINEPREFIX:-$root/build/screenshot-prefix}

if [ "${TARVEX_ON_DISPLAY:-}" != 1 ]; then
  exec scripts/sandbox.sh "$0" "$build" "$out"
fi

# Inside the sandbox from here on.
dpi=${TARVEX_DPI:-96}
suffix=""
if [ "$dpi" = 144 ]; then
  export WINEPREFIX=$WINEPREFIX-144
  suffix=-144
fi
folder="$WINEPREFIX/drive_c/users/$(whoami)/AppData/Local/Tarvex"
mkdir -p "$folder"
rm -f "$folder/monitor.log"

servers=()
for port in 8080 8443; do
  python3 -m http.server --bind 127.0.0.1 "$port" >/dev/null 2>&1 &
  servers+=($!)
done
trap 'kill "${servers[@]}" 2>/dev/null || true' EXIT
for port in 8080 8443; do  # listening before the first probe
  until (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null; do sleep 0.1; done
done

# config.xml in the program's own format: slot, enabled, type, host, port, interval.
python3 - "$folder/config.xml" "${TARVEX_BLACK_HOLE:-127.0.0.9}" <<'EOF'
import sys
path, silent = sys.argv[1], sys.argv[2]
targets = [
    (1, "tcp", "127.0.0.1", 8080, 2),
    (1, "tcp", "127.0.0.1", 8443, 2),
    (1, "icmp", "127.0.0.1", 0, 3),
    (1, "tcp", "127.0.0.1", 9, 2),
    (0, "tcp", "127.0.0.1", 8081, 5),
    (1, "tcp", "127.0.0.2", 81, 3),
    (1, "icmp", silent, 0, 4),
]
lines = ['<?xml version="1.0" encoding="utf-8"?>', "<config>", "  <targets>"]
for slot in range(20):
    enabled, kind, host, port, interval = targets[slot] if slot < len(targets) else (1, "icmp", "", 0, 10)
    lines += ["    <target>", f"      <slot>{slot}</slot>", f"      <enabled>{enabled}</enabled>",
              f"      <type>{kind}</type>", f"      <host>{host}</host>",
              f"      <port>{port}</port>", f"      <interval>{interval}</interval>", "    </target>"]
lines += ["  </targets>", "</config>"]
open(path, "w", newline="\r\n").write("\n".join(lines) + "\n")
EOF

wine64 "$build/Tarvex.exe" &
program=$!
window=$(xdotool search --sync --name '^Tarvex Desktop')
sleep 1
# Wine draws the frame itself: the client area starts 3 pixels in and below a caption of 20
# (28 at 144 DPI), so a client point (x, y) at 96 DPI is at (x * dpi / 96 + 3, y * dpi / 96 +
# 23 or 31) in the window. click WINDOW X Y clicks there.
caption=$((dpi == 144 ? 28 : 20))
click() {
  xdotool mousemove --window "$1" $(($2 * dpi / 96 + 3)) $(($3 * dpi / 96 + caption + 3)) click 1
  sleep 1
}
shoot() { xwd -id "$1" | convert xwd:- "$out/$2"; echo "screenshot: $out/$2"; }
# A window that reads back black over another (a message box, a tooltip) is taken by itself:
# placed WINDOW FILE starts the picture FILE with WINDOW where it is on the screen, laid WINDOW
# FILE lays WINDOW over it there.
placed() {
  eval "$(xdotool getwindowgeometry --shell "$1")"
  xwd -id "$1" | convert xwd:- -repage "+$X+$Y" "$2"
}
laid() {
  eval "$(xdotool getwindowgeometry --shell "$1")"
  xwd -id "$1" | convert "$2" \( xwd:- -repage "+$X+$Y" \) -background black -layers merge \
    +repage "$2"
}
mkdir -p "$out"
if [ "$dpi" = 96 ]; then
  # The first balloon: the two closed ports go down 2 and 3 s after the start and are told
  # together 2 s later; Wine's own notification area (a small window at the screen's top left,
  # as no X tray runs) shows a balloon 2 s after it is given. Taken as soon as the balloon's
  # white shows under the tray, with the main window's header moved below it for the picture,
  # then put back.
  eval "$(xdotool getwindowgeometry --shell "$window")"
  xdotool windowmove "$window" 0 125
  xdotool mousemove 1900 1500
  for _ in $(seq 60); do
    sleep 0.5
    # A window that goes while the screen is read fails the read: tried again.
    xwd -root 2>/dev/null | convert xwd:- -crop 700x215+0+0 +repage "$out/alert-balloon.png" ||
      continue
    [ "$(convert "$out/alert-balloon.png" -crop 160x40+0+50 -format '%[fx:maxima]' info:)" = 1 ] &&
      break
  done
  echo "screenshot: $out/alert-balloon.png"
  xdotool windowmove "$window" "$X" "$Y"
fi
click "$window" 416 22  # "Monitor"
click "$window" 624 22  # "Status"
xdotool mousemove 1900 1500  # the pointer out of the picture
sleep 30  # some results for every target
shoot "$window" "screenshot$suffix.png"
# A row's details: the pointer rests on the second row (127.0.0.1 tcp:8443). The tooltip is
# a window of its own that reads back black from the screen, so it is taken by itself (the
# visible window without a name from Tarvex's X client, whose ids share their upper bits)
# and laid over the main window where it is on the screen.
xdotool mousemove --window "$window" $((112 * dpi / 96 + 3)) $((121 * dpi / 96 + caption + 3))
sleep 2
placed "$window" "$out/details-tip$suffix.png"
for tip in $(xdotool search --onlyvisible --name '^$'); do
  if [ $((tip >> 21)) = $((window >> 21)) ]; then laid "$tip" "$out/details-tip$suffix.png"; fi
done
echo "screenshot: $out/details-tip$suffix.png"
# Every row's details as Ctrl+Shift+C copies them, from the clipboard (with Python's tkinter).
click "$window" 112 95  # the first row: selected, the view focused
xdotool key ctrl+shift+c
sleep 1
python3 -c 'import tkinter; r = tkinter.Tk(); r.withdraw(); print(r.clipboard_get(), end="")' \
  >"$out/details-copied$suffix.txt" || echo "no tkinter: the copied table was not read back"
echo "copied: $out/details-copied$suffix.txt"

if [ "$dpi" = 144 ]; then
  click "$window" 266 22  # "Config"
  config=$(xdotool search --sync --name '^Config$')
  xdotool mousemove 1900 1500
  sleep 1
  shoot "$config" config-window-144.png
  TARVEX_READER_OUTPUT="Z:$(realpath "$out")/screen-reader-144.txt" wine64 "$build/tests/tarvex_tests.exe"
  echo "screen reader: $out/screen-reader-144.txt"
  kill "$program"
  exit 0
fi

click "$window" 539 22  # "Log"
log=$(xdotool search --sync --name '^Tarvex - Log$')
xdotool mousemove 1900 1500
shoot "$log" log-window.png
xdotool mousemove --window "$log" 884 12 click 1  # its close box hides it
sleep 1

click "$window" 266 22  # "Config"
config=$(xdotool search --sync --name '^Config$')
xdotool mousemove 1900 1500
sleep 1
shoot "$config" config-window.png
# Row 2's port made 0, then "Save": the validation message over the window. Under Wine's
# virtual display the window behind a message box reads back black, so the window is taken
# just before "Save" and the message box is laid over it where it is on the screen.
click "$config" 440 69
xdotool key --window "$config" End BackSpace BackSpace BackSpace BackSpace 0
placed "$config" "$out/config-validation.png"
click "$config" 477 576  # "Save"
box=$(xdotool search --sync --name '^Config validation$')
xdotool mousemove 1900 1500
sleep 1
laid "$box" "$out/config-validation.png"
echo "screenshot: $out/config-validation.png"
kill "$program"
