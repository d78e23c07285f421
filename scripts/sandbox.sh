#!/usr/bin/env bash
# Runs a command in the test sandbox: a network namespace of its own with only loopback up
# (nothing a test does can reach past this machine, not even a name look-up), a black hole
# at 127.66.0.0/16 for time-out tests, an unreachable host at 127.67.0.0/16 for ICMP error
# replies, a name whose look-up hangs (in $TARVEX_SLOW_NAME), a virtual display, and a Wine
# session in the test prefix given as WINEPREFIX and in its copy at 144 DPI ($WINEPREFIX-144).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)

if [ "${TARVEX_IN_NAMESPACE:-}" != 1 ]; then
  exec unshare -n -m env TARVEX_IN_NAMESPACE=1 "$0" "$@"
fi
# The display runs inside the namespace too (X clients find it through abstract sockets,
# which belong to the network namespace); the network is set up once, under it. Its size is
# 1280 x 1024 at 150 %, so that the windows fit at 144 DPI as well.
if [ "${TARVEX_ON_DISPLAY:-}" != 1 ]; then
  exec env TARVEX_ON_DISPLAY=1 xvfb-run -a -s "-screen 0 1920x1536x24" "$0" "$@"
fi

# TARVEX_IN_NAMESPACE inherited by a command outside the sandbox must not set up the machine's
# own network and files.
own_net=$(readlink /proc/self/ns/net || true)
if [ -n "$own_net" ] && [ "$own_net" = "$(readlink /proc/1/ns/net || true)" ]; then
  echo "sandbox: not in a network namespace of its own; run scripts/sandbox.sh itself" >&2
  exit 1
fi
ip link set lo up
if command -v iptables >/dev/null && iptables -A INPUT -i lo -d 127.66.0.0/16 -j DROP 2>/dev/null; then
  export TARVEX_BLACK_HOLE=127.66.0.1
  # And a host that answers everything with an ICMP "host unreachable" error.
  iptables -A INPUT -i lo -d 127.67.0.0/16 -j REJECT --reject-with icmp-host-unreachable &&
    export TARVEX_UNREACHABLE=127.67.0.1
  # A resolver at 127.0.0.53, where nothing listens: every look-up fails at once, except
  # that the queries for slow-name.test are dropped, so its look-up waits out the resolver's
  # time-outs (2 x 5 s). The file covers /etc/resolv.conf in this mount namespace only.
  if iptables -A INPUT -i lo -p udp -d 127.0.0.53 --dport 53 -m string --algo bm \
    --hex-string '|09|slow-name|04|test|00|' -j DROP 2>/dev/null; then
    resolver=$(mktemp)
    printf 'nameserver 127.0.0.53\noptions timeout:5 attempts:2\n' >"$resolver"
    # Only in a mount namespace of our own: bound in the machine's, it would outlive the run.
    [ "$(readlink /proc/self/ns/mnt)" = "$(readlink /proc/1/ns/mnt)" ] ||
      { mount --bind "$resolver" /etc/resolv.conf && export TARVEX_SLOW_NAME=slow-name.test; }
    rm -f "$resolver"
  fi
else
  echo "sandbox: no iptables here; the time-out tests against a silent host are skipped" >&2
fi

# shellcheck source=wine-env.sh
. "$here/wine-env.sh"
wine_prepare_prefix
wine_prepare_dpi_prefix
wine_start_session
status=0
"$@" || status=$?
wine_stop_session
exit $status
