#!/usr/bin/env bash
# Runs the libFuzzer harnesses of a -DZEP_FUZZ=ON build, each for a bounded time, each on a
# fresh copy of its seed corpus in fuzz/corpus (the repository is never written).
#   fuzz/run.sh BUILD_DIR [SECONDS_EACH [HARNESS...]]      (default: 45 s, all harnesses)
# A broken property or a sanitizer report stops that harness; the rest still run, the
# input that did it is kept and named, and the script fails. Set ZEP_FUZZ_KEEP=DIR to keep
# the work folder (the grown corpora) in DIR instead of a temporary folder.
set -uo pipefail

top=$(cd "$(dirname "$0")/.." && pwd)
if [ $# -lt 1 ] || [ ! -d "$1" ]; then
  echo "usage: fuzz/run.sh BUILD_DIR [SECONDS_EACH [HARNESS...]]" >&2
  exit 2
fi
build=$(cd "$1" && pwd)
seconds=${2:-45}
shift $(( $# < 2 ? $# : 2 ))
harnesses=("$@")
[ ${#harnesses[@]} -gt 0 ] || harnesses=(scoringdata labels paragraphs datafile export settings questions wave scoring disk)

# The harnesses write and sync their files at every run: on a memory file system that is cheap.
if [ -z "${ZEP_FUZZ_TMPDIR:-}" ] && [ -d /dev/shm ] && [ -w /dev/shm ]; then
  ZEP_FUZZ_TMPDIR=/dev/shm
fi
export TMPDIR=${ZEP_FUZZ_TMPDIR:-${TMPDIR:-/tmp}}

work=${ZEP_FUZZ_KEEP:-$(mktemp -d "$TMPDIR/zepfuzz-run.XXXXXX")}
mkdir -p "$work"
# Most of a run's time went into recording each allocation's stack: keep them short (a later
# setting wins; run a found input alone to see the whole report).
export ASAN_OPTIONS=malloc_context_size=4:${ASAN_OPTIONS:-halt_on_error=1:abort_on_error=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-halt_on_error=1:print_stacktrace=1}

failed=()
for name in "${harnesses[@]}"; do
  fuzzer=$build/fuzz/fuzz_$name
  if [ ! -x "$fuzzer" ]; then
    echo "fuzz_$name: not built (configure with -DZEP_FUZZ=ON)" >&2
    failed+=("$name")
    continue
  fi
  mkdir -p "$work/$name/corpus" "$work/$name/found"
  cp -n "$top/fuzz/corpus/$name/"* "$work/$name/corpus/"
  echo "fuzz_$name: ${seconds} s"
  # 8 KB holds a data file with more clients than a disk may have.
  if "$fuzzer" -max_total_time="$seconds" -max_len=8192 -timeout=20 -rss_limit_mb=2048 \
       -artifact_prefix="$work/$name/found/" "$work/$name/corpus" >"$work/$name/log" 2>&1; then
    grep -E '^Done [0-9]+ runs' "$work/$name/log" | sed "s/^/  /"
  else
    tail -n 60 "$work/$name/log"
    echo "fuzz_$name FAILED; the input is in $work/$name/found/, the log in $work/$name/log" >&2
    failed+=("$name")
  fi
done

if [ ${#failed[@]} -gt 0 ]; then
  echo "Fuzzers that failed: ${failed[*]}" >&2
  exit 1
fi
[ -n "${ZEP_FUZZ_KEEP:-}" ] || rm -rf "$work"
