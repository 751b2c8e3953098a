#!/usr/bin/env bash
# Installs what is missing, builds, and starts the manager. Unless BRELLION_COM1 already
# names a serial device, a virtual sign (signsim) is started first on a pseudo-terminal
# that COM1 points at and on TCP 127.0.0.1:5000; it ends with the manager.
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j "$(nproc)" --target apps

if [ -z "${BRELLION_COM1:-}" ]; then
  simdir=$(mktemp -d "${TMPDIR:-/tmp}/signsim.XXXXXX")
  build/bin/signsim --pty "$simdir/COM1" --tcp 127.0.0.1:5000 --ready "$simdir/ready" \
    --memory build/signsim-memory.bin --log build/signsim.log &
  simpid=$!
  trap 'kill "$simpid" 2>/dev/null; wait "$simpid" 2>/dev/null; rm -rf "$simdir"' EXIT
  for _ in $(seq 50); do
    [ -e "$simdir/ready" ] && break
    kill -0 "$simpid" 2>/dev/null || break
    sleep 0.1
  done
  if [ -e "$simdir/ready" ]; then
    export BRELLION_COM1="$simdir/COM1"
    echo "Virtual sign on COM1 ($BRELLION_COM1) and TCP 127.0.0.1:5000; log in build/signsim.log"
  else
    echo "signsim did not start (is TCP port 5000 taken?); see build/signsim.log" >&2
  fi
  build/bin/Brellion "$@"
else
  exec build/bin/Brellion "$@"
fi
