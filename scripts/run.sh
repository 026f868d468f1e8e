#!/usr/bin/env bash
# Set-up and start: installs what is missing, builds the window alone (preset "app", in
# build-app/: no tests, benchmarks or tools), and starts kelsoft in samples/, where File, Open
# lists the sample cards.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/deps.sh"
cd "$root"
cmake --preset app >/dev/null
cmake --build --preset app -j"${KEL_JOBS:-$(nproc)}"
cd "$root/samples"
if [[ -z "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]]; then
  echo "No display: starting kelsoft under Xvfb (use a desktop session to see it)." >&2
  exec xvfb-run -a "$root/build-app/shell/kelsoft"
fi
exec "$root/build-app/shell/kelsoft"
