#!/usr/bin/env bash
# Checks a built package as a user's system takes it: the desktop entry and the AppStream
# metadata pass their validators, lintian finds no error or warning, and the programs unpacked
# from it (dpkg -x into a temporary root) run on the system's libraries: both answer --version
# with the package's version, kelsoft-report rates a sample card, and kelsoft opens one on the
# offscreen platform and keeps running without a word on standard error.
#   scripts/check_package.sh kelsoft_VERSION_ARCH.deb
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
deb=$(realpath "$1")
id=io.github.kelsoft.KelSoft
tmp=$(mktemp -d)
pid=
trap '[[ -n $pid ]] && kill "$pid" 2>/dev/null; rm -rf "$tmp"' EXIT
fail() { echo "check_package.sh: $*" >&2; exit 1; }

dpkg -x "$deb" "$tmp/root"
usr="$tmp/root/usr"
version=$(dpkg-deb -f "$deb" Version)

out=$(desktop-file-validate "$usr/share/applications/$id.desktop" 2>&1) || fail "desktop entry: $out"
[[ -z $out ]] || fail "desktop entry: $out"
appstreamcli validate --no-net --strict "$usr/share/metainfo/$id.metainfo.xml" >"$tmp/appstream" 2>&1 \
  || { cat "$tmp/appstream" >&2; fail "AppStream metadata refused"; }
status=0
lintian --fail-on error,warning "$deb" >"$tmp/lintian" 2>&1 || status=$?
grep -v "running with root privileges" "$tmp/lintian" || true
((status == 0)) || fail "lintian found errors or warnings"

for bin in kelsoft kelsoft-report; do
  ! ldd "$usr/bin/$bin" | grep "not found" || fail "$bin misses a library"
  [[ $("$usr/bin/$bin" --version) == "$bin $version" ]] || fail "$bin --version does not say $version"
done
"$usr/bin/kelsoft-report" "$root/samples/small.kel" >"$tmp/small.csv"
[[ $(wc -l <"$tmp/small.csv") -gt 1 ]] || fail "kelsoft-report rated no horse of samples/small.kel"

mkdir -m 700 "$tmp/runtime"
XDG_RUNTIME_DIR="$tmp/runtime" QT_QPA_PLATFORM=offscreen "$usr/bin/kelsoft" "$root/samples/small.kel" \
  2>"$tmp/kelsoft.err" &
pid=$!
sleep 3
kill -0 "$pid" 2>/dev/null || fail "kelsoft ended: $(cat "$tmp/kelsoft.err")"
kill "$pid"
wait "$pid" 2>/dev/null || true
pid=
# The offscreen platform says what it cannot do for a window; anything else is a fault.
if grep -v '^This plugin does not support ' "$tmp/kelsoft.err"; then
  fail "kelsoft wrote to standard error"
fi
echo "package $(basename "$deb"): validated, installed programs run"
