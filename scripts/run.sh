#!/usr/bin/env bash
# Set-up and start: installs what is missing, builds, and starts kelsoft in samples/,
# where File, Open lists the sample cards.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/deps.sh"
"$root/scripts/build.sh" "$root/build"
cd "$root/samples"
if [[ -z "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]]; then
  echo "No display: starting kelsoft under Xvfb (use a desktop session to see it)." >&2
  exec xvfb-run -a "$root/build/shell/kelsoft"
fi
exec "$root/build/shell/kelsoft"
