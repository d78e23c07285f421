#!/usr/bin/env bash
# Takes docs/screenshot.png: Tarvex under Wine in the test sandbox (its own network namespace,
# only loopback), monitoring loopback targets only. Two ports answer (small HTTP servers on
# 127.0.0.1), the others do not (closed ports, and an address of the sandbox's black hole).
#   scripts/screenshot.sh [build-dir]     (default build/win; Tarvex.exe must be built there)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
build=${1:-build/win}
export WINEPREFIX=${WINEPREFIX:-$root/build/screenshot-prefix}

if [ "${TARVEX_ON_DISPLAY:-}" != 1 ]; then
  exec scripts/sandbox.sh "$0" "$build"
fi

# Inside the sandbox from here on.
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
# Wine draws the frame itself: the client area starts about 3 pixels in and below a caption
# of about 20, and each button is 32 high, so these points fall inside "Monitor" and "Status".
xdotool mousemove --window "$window" 419 45 click 1
sleep 1
xdotool mousemove --window "$window" 628 45 click 1
xdotool mousemove 1200 1000  # the pointer out of the picture
sleep 30  # some results for every target
xwd -id "$window" | convert xwd:- docs/screenshot.png
xdotool key --window "$window" alt+F4
for _ in $(seq 50); do kill -0 "$program" 2>/dev/null || break; sleep 0.1; done
echo "screenshot: docs/screenshot.png"
