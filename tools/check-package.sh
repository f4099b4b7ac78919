#!/usr/bin/env bash
# check-package.sh DEB BUILD_DIR — checks the Debian package the way an office would use it,
# without installing it on this machine: its contents, lintian, and its programs unpacked
# into a temporary root (dpkg-deb -x) and run as an ordinary user with a temporary home.
# Nothing may be written under the unpacked root, and everything that user writes must land
# in the home. BUILD_DIR lends zeprandomclients (a data file of invented clients).
# As root the programs run as "nobody"; otherwise as the caller, the unpacked root made
# read-only so that it is not the caller's to write either.
set -euo pipefail

if [ $# -ne 2 ] || [ ! -f "$1" ]; then
  echo "usage: $0 DEB BUILD_DIR" >&2
  exit 2
fi
deb=$(realpath "$1")
build=$(realpath "$2")
fail() { echo "check-package: $*" >&2; exit 1; }

work=$(mktemp -d)
trap '[ -n "${ZEP_KEEP_CHECK:-}" ] || rm -rf "$work"' EXIT
chmod 755 "$work"

# The contents an installed program needs.
dpkg-deb -c "$deb" | awk '{print $6}' | sed 's|^\./||' >"$work/contents"
for path in usr/bin/zeptest usr/bin/zepreport usr/bin/zepdisk usr/bin/zepvoice \
            usr/lib/zep/zeptest usr/lib/zep/zepreport usr/lib/zep/zepdisk usr/lib/zep/zepvoice \
            usr/lib/zep/zepsfb.TXT usr/lib/zep/zepsfRPT.TXT usr/lib/zep/ZEPINVAL.TXT usr/lib/zep/ZEPSF.db \
            usr/lib/zep/ZEPSFVA.TXT usr/lib/zep/ZEPSFAL.TXT usr/lib/zep/ZEPSFDG.TXT usr/lib/zep/ZEPSFRK.TXT \
            usr/share/applications/net.zepscreen.ZEP.desktop usr/share/metainfo/net.zepscreen.ZEP.metainfo.xml \
            usr/share/icons/hicolor/scalable/apps/net.zepscreen.ZEP.svg \
            usr/share/icons/hicolor/48x48/apps/net.zepscreen.ZEP.png \
            usr/share/man/man1/zeptest.1.gz usr/share/man/man1/zepreport.1.gz usr/share/man/man1/zepdisk.1.gz \
            usr/share/man/man1/zepvoice.1.gz usr/share/doc/zep/copyright usr/share/doc/zep/changelog.gz; do
  grep -qx "$path" "$work/contents" || fail "$path is not in the package"
done
if command -v espeak-ng >/dev/null; then
  grep -q '^usr/lib/zep/ZEPSF/sound/English/' "$work/contents" || fail "the package has no recordings"
fi
echo "check-package: contents complete ($(wc -l <"$work/contents") entries)"

# lintian: an error fails; warnings and notes are listed.
lintian --fail-on error --display-info "$deb" >"$work/lintian" 2>/dev/null || { cat "$work/lintian" >&2; fail "lintian found errors"; }
echo "check-package: lintian found no errors; its other tags:"
grep -v '^N:' "$work/lintian" | sed 's/ \[.*//' | sort | uniq -c || echo "  none"

# Its dependencies are Debian's: apt could install it here (simulated, nothing is installed).
apt-get install --simulate "$deb" >"$work/apt" 2>&1 || { cat "$work/apt" >&2; fail "apt cannot install the package"; }

root=$work/root
home=$work/home
mkdir -p "$root" "$home"
dpkg-deb -x "$deb" "$root"
appstreamcli validate --no-net "$root/usr/share/metainfo/net.zepscreen.ZEP.metainfo.xml" >/dev/null ||
  fail "appstreamcli refuses the metainfo"
if [ "$(id -u)" -eq 0 ]; then
  chown nobody:nogroup "$home"
  as_user=(setpriv --reuid=nobody --regid=nogroup --clear-groups --)
  user=nobody
else
  chmod -R a-w "$root"
  as_user=()
  user=$(id -un)
fi
chmod 700 "$home"
mkdir -p "$home/run" && chmod 700 "$home/run" && chown --reference="$home" "$home/run"
# A login's environment, nothing of the caller's: the home, a runtime folder inside it.
as_user+=(env -i PATH=/usr/bin:/bin HOME="$home" XDG_RUNTIME_DIR="$home/run" LANG=C.UTF-8 QT_QPA_PLATFORM=offscreen)
run() { "${as_user[@]}" "$@"; }
# zeptest in the background, as the process $zeptest names (exec: no shell in between).
start_zeptest() {
  (exec "${as_user[@]}" "$bin/zeptest") >"$1" 2>&1 &
  zeptest=$!
}
stop_zeptest() {
  kill "$zeptest" 2>/dev/null || true
  wait "$zeptest" 2>/dev/null || true
}
snapshot() { (cd "$root" && find . -printf '%p %M %s %T@\n' | sort); }
snapshot >"$work/root-before"
touch "$work/marker"
sleep 1  # whatever the user writes from now on is newer than the marker

bin=$root/usr/bin
# zepdisk prepares a disk in the home.
run "$bin/zepdisk" "$home/disk" >/dev/null || fail "zepdisk could not prepare a disk"
[ -f "$home/disk/TID" ] || fail "zepdisk wrote no TID"

# zepreport scores a client with the unpacked data; the report is the user's alone.
"$build/tools/zeprandomclients" 401 3 "$work/DATA401.ZEP"
install -m 600 -o "$(stat -c %u "$home")" "$work/DATA401.ZEP" "$home/disk/DATA401.ZEP"
run "$bin/zepreport" "$home/disk/DATA401.ZEP" 2 || fail "zepreport could not score client 2"
report=$home/.local/state/zep/REPORT.PRN
[ -f "$report" ] || fail "zepreport wrote no $report"
[ "$(stat -c %a "$report")" = 600 ] || fail "$report can be read by others"
grep -q 'ZEP-ADULT PROBATION SHORT FORM' "$report" || fail "$report is not a report"
run "$bin/zepreport" --scores "$home/disk/DATA401.ZEP" >"$work/scores.csv" || [ $? -eq 3 ] ||
  fail "zepreport --scores failed"
[ "$(wc -l <"$work/scores.csv")" -eq 4 ] || fail "the export does not have a header and three clients"

# zeptest, first run: its settings file is made with the defaults. No disk is known yet, so it
# waits on the question for one; the test ends it there.
ini=$home/.config/zep/zeptest.ini
wait_for() {  # seconds, condition...
  local t=$1; shift
  for _ in $(seq $((t * 10))); do "$@" && return 0; sleep 0.1; done
  return 1
}
start_zeptest "$work/zeptest1.log"
wait_for 30 test -s "$ini" || { stop_zeptest; fail "zeptest wrote no $ini: $(cat "$work/zeptest1.log")"; }
sleep 1
kill -0 "$zeptest" || fail "zeptest ended on its own: $(cat "$work/zeptest1.log")"
stop_zeptest
grep -q "^SndPath=$root/usr/lib/zep" "$ini" || fail "the new settings do not point at the recordings: $(cat "$ini")"
grep -q '^NumLock=True' "$ini" || fail "the new settings lack the defaults"

# Second run: the disk named in the settings is connected, and remembered again.
sed -i "s|^\\[Path\\]\\r\$|[Path]\\r\\nFilePath=$home/disk\\r|" "$ini"
touch -d '1 minute ago' "$ini"
stamp=$(stat -c %Y "$ini")
start_zeptest "$work/zeptest2.log"
ini_rewritten() { [ "$(stat -c %Y "$ini")" != "$stamp" ]; }
wait_for 30 ini_rewritten ||
  { stop_zeptest; fail "zeptest did not connect $home/disk: $(cat "$work/zeptest2.log")"; }
sleep 1
kill -0 "$zeptest" || fail "zeptest ended on its own: $(cat "$work/zeptest2.log")"
stop_zeptest
grep -q "^FilePath=$home/disk" "$ini" || fail "the disk was not remembered"

# Nothing under the unpacked root changed, and everything the user wrote is in the home.
snapshot >"$work/root-after"
diff "$work/root-before" "$work/root-after" >&2 || fail "something was written under the unpacked root"
if [ "$user" = nobody ]; then
  outside=$(find / -xdev \( -path /proc -o -path "$home" \) -prune -o -user nobody -newer "$work/marker" -print 2>/dev/null;
            find /tmp /dev/shm /run -user nobody -newer "$work/marker" -not -path "$home*" -print 2>/dev/null || true)
  [ -z "$outside" ] || fail "written outside the home: $outside"
fi
echo "check-package: written by $user, all in the home:"
(cd "$home" && find . -newer "$work/marker" -type f | sort | sed 's/^/  /')
echo "check-package: $deb passed"
