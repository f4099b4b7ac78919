#!/usr/bin/env bash
# Set-up for a fresh Debian 12 machine.
#   tools/setup.sh demo   installs what is needed, builds, prepares a demonstration data disk
#                         and starts the program
#   tools/setup.sh test   installs what is needed, builds and runs every test; then the checked
#                         build: everything again with clang under AddressSanitizer and
#                         UndefinedBehaviorSanitizer (build-asan/), every test there, and each
#                         fuzzer for ZEP_FUZZ_SECONDS (45) seconds
#   tools/setup.sh fuzz   only the checked build and the fuzzers (see README for longer runs)
#   tools/setup.sh package  installs what is needed, builds, and makes the Debian package
#                         build/package/zep_<version>_<arch>.deb (with the recordings when
#                         espeak-ng is installed); test mode makes it too and checks it
set -euo pipefail

mode=${1:-}
case "$mode" in
  demo|test|fuzz|package) ;;
  *) echo "usage: $0 demo|test|fuzz|package" >&2; exit 2 ;;
esac

top=$(cd "$(dirname "$0")/.." && pwd)
build=${ZEP_BUILD_DIR:-$top/build}
checked=${ZEP_CHECKED_BUILD_DIR:-$top/build-asan}
sudo=""
[ "$(id -u)" -eq 0 ] || sudo=sudo

packages=(cmake g++ make pkg-config
          qt6-base-dev qt6-base-dev-tools libqt6sql6-sqlite qt6-qpa-plugins
          libgl-dev libx11-dev libbenchmark-dev sqlite3
          xvfb xdotool openbox
          # sound: the PulseAudio client library the test's recordings are played through, the
          # null-sink daemon and recorder of the sound tests, and the voices of zepvoice
          libpulse-dev pulseaudio pulseaudio-utils espeak-ng
          # printing: the CUPS client library, and for the print tests a private cupsd, the
          # poppler tools that read the PDF jobs back, and the metric twin of Courier New
          cups cups-client libcups2-dev poppler-utils fonts-liberation
          # the checked build: clang with its sanitizer and libFuzzer runtimes, and the symbolizer
          clang libclang-rt-14-dev llvm
          # the house style, checked in CI
          clang-format
          # the package: its icons drawn from the SVG, and the checks of the package and its
          # desktop entry and metainfo
          librsvg2-bin lintian desktop-file-utils appstream)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}"
fi

# The checked build: the sanitizers stop at the first fault. Leak detection stays on; what
# the system libraries under Qt keep until exit is listed in tools/lsan.supp.
checked_build() {
  cmake -S "$top" --preset asan -B "$checked" >/dev/null
  cmake --build "$checked" -j"$(nproc)"
  export ASAN_OPTIONS=halt_on_error=1:abort_on_error=1:detect_leaks=1
  export LSAN_OPTIONS=suppressions=$top/tools/lsan.supp:print_suppressions=0
  export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
}

if [ "$mode" = fuzz ]; then
  checked_build
  exec bash "$top/fuzz/run.sh" "$checked" "${ZEP_FUZZ_SECONDS:-45}"
fi

# The builds are the presets of CMakePresets.json (release here, asan for the checked build).
cmake -S "$top" --preset release -B "$build" >/dev/null
cmake --build "$build" -j"$(nproc)"

# The Debian package, from the release build: the recordings spoken into the program folder
# first, where espeak-ng is installed, so that the package carries them.
make_package() {
  if command -v espeak-ng >/dev/null; then
    "$build/tools/zepvoice" "$build/zep/ZEPSF.db" "$build/zep" >/dev/null
  fi
  desktop-file-validate "$top/packaging/net.zepscreen.ZEP.desktop"
  rm -rf "$build/package"  # one package only: an older version's would be checked instead
  (cd "$build" && cpack -G DEB -B "$build/package" >/dev/null)
  package=$(ls "$build"/package/zep_*.deb)
  echo "Package: $package"
}

if [ "$mode" = package ]; then
  make_package
  exit 0
fi

if [ "$mode" = test ]; then
  # A source file the formatter would change fails CI (clang-format -i mends it).
  (cd "$top" && git ls-files -z -- '*.cpp' '*.h' | xargs -0 clang-format --dry-run --Werror)
  export QT_QPA_PLATFORM=offscreen
  export XDG_RUNTIME_DIR=${XDG_RUNTIME_DIR:-$(mktemp -d)}
  (cd "$top" && ctest --preset release --test-dir "$build")
  make_package
  bash "$top/tools/check-package.sh" "$package" "$build"
  checked_build
  (cd "$top" && ctest --preset asan --test-dir "$checked")
  exec bash "$top/fuzz/run.sh" "$checked" "${ZEP_FUZZ_SECONDS:-45}"
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
# Reports print on a demonstration printer of the program's own: a private CUPS daemon whose
# jobs land in build/demo/printed/ (PDF pages, or the raw report with Print to DOS port).
echo "Starting $demo/program/zeptest"
exec "$build/tools/zepprinter" "$demo/printed" "$demo/program/zeptest"
