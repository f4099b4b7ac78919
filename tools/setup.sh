#!/usr/bin/env bash
# Set-up for a fresh Debian 12 machine.
#   tools/setup.sh demo   installs what is needed, builds, prepares a demonstration data disk
#                         and starts the program
#   tools/setup.sh test   installs what is needed, builds and runs every test
set -euo pipefail

mode=${1:-}
case "$mode" in
  demo|test) ;;
  *) echo "usage: $0 demo|test" >&2; exit 2 ;;
esac

top=$(cd "$(dirname "$0")/.." && pwd)
build=${ZEP_BUILD_DIR:-$top/build}
sudo=""
[ "$(id -u)" -eq 0 ] || sudo=sudo

packages=(cmake g++ make pkg-config
          qt6-base-dev qt6-base-dev-tools libqt6sql6-sqlite qt6-multimedia-dev qt6-qpa-plugins
          libgl-dev libx11-dev libbenchmark-dev sqlite3
          xvfb xdotool openbox
          # sound: Qt Multimedia's GStreamer back end, WAV playback into PulseAudio, the
          # null-sink daemon and recorder of the sound tests, and the voices of zepvoice
          libqt6multimedia6 gstreamer1.0-plugins-base gstreamer1.0-plugins-good gstreamer1.0-pulseaudio
          pulseaudio pulseaudio-utils espeak-ng)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}"
fi

cmake -S "$top" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j"$(nproc)"

if [ "$mode" = test ]; then
  cd "$build"
  export QT_QPA_PLATFORM=offscreen
  export XDG_RUNTIME_DIR=${XDG_RUNTIME_DIR:-$(mktemp -d)}
  exec ctest --output-on-failure --timeout 600
fi

# The demonstration: a copy of the program folder, and a data disk beside it.
demo=$build/demo
rm -rf "$demo/program"
mkdir -p "$demo"
cp -a "$build/zep" "$demo/program"
rm -f "$demo/program/zeptest.ini"
rm -rf "$demo/disk"
"$build/tools/zepdemo" "$demo/program" "$demo/disk"
# The voices of the on-screen test, spoken from the question bank into the program folder.
"$build/tools/zepvoice" "$demo/program/ZEPSF.db" "$demo/program"
echo "Starting $demo/program/zeptest"
exec "$demo/program/zeptest"
