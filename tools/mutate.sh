#!/usr/bin/env bash
# Mutation check of the test suite, for developers: applies each deliberate fault of
# tools/mutants.txt to the source tree on its own, builds, runs the tests named for it, and
# says whether the tests caught it. The changed file is always put back.
#
# usage: tools/mutate.sh [-b BUILD_DIR] [-l LIST] [-t SECONDS] [-o REPORT] [-s] [ID...]
#   -b  build folder, configured already (default: build)
#   -l  mutant list (default: tools/mutants.txt)
#   -t  ctest time-out per test in seconds (default: 120)
#   -o  also write the per-mutant lines and the summary into REPORT
#   -s  skip the first run of the unmutated tree (it must pass, or every mutant looks caught)
#   -f  run every selected test to its end and name each test function that failed, so that
#       a report shows which functions catch which mutant (slower: no stop at the first failure)
#   ID  check only these mutants (default: all)
# Exit status: 0 when every mutant checked was caught, 1 when one survived or did not build.
set -u

cd "$(dirname "$0")/.."
ROOT=$PWD
BUILD=build
LIST=tools/mutants.txt
TIMEOUT=120
REPORT=
SANITY=1
FUNCTIONS=0
while getopts "b:l:t:o:sf" opt; do
    case $opt in
    b) BUILD=$OPTARG ;;
    l) LIST=$OPTARG ;;
    t) TIMEOUT=$OPTARG ;;
    o) REPORT=$OPTARG ;;
    s) SANITY=0 ;;
    f) FUNCTIONS=1 ;;
    *) sed -n '5,12p' "$0" >&2; exit 2 ;;
    esac
done
shift $((OPTIND - 1))
export QT_QPA_PLATFORM=offscreen

LOGDIR=$(mktemp -d /tmp/mutate.XXXXXX)
BACKUP=
TARGET_FILE=

# Puts the mutated file back, whatever ended the run. The restored file gets a new time
# stamp: with its old one the build would keep the mutant's object file.
restore() {
    if [ -n "$BACKUP" ] && [ -f "$BACKUP" ]; then
        cp "$BACKUP" "$TARGET_FILE"
        touch "$TARGET_FILE"
        rm -f "$BACKUP"
        BACKUP=
    fi
}
trap restore EXIT
trap 'restore; echo "interrupted" >&2; exit 130' INT TERM HUP

# The list parser: "ids" prints the ids, "show ID" prints file, tests and description on
# three lines, "apply ID" changes the file. Refuses a "from" text that is not there exactly once.
# Bytes that are not UTF-8 (the Windows-1252 data files) and CR LF line ends are kept as they are.
mutant() {
    python3 - "$ROOT/$LIST" "$@" <<'EOF'
import re, sys
path, cmd = sys.argv[1], sys.argv[2]
entries, cur = [], None
for n, line in enumerate(open(path, encoding="utf-8").read().split("\n"), 1):
    m = re.match(r"^\[(\w+)\] (\S+)\s*$", line)
    if m:
        cur = {"id": m.group(1), "file": m.group(2), "tests": "", "desc": "", "line": n}
        entries.append(cur)
    elif cur is not None:
        for key in ("desc", "tests", "from", "to", "note"):
            if line.startswith(key + ": "):
                cur[key] = line[len(key) + 2:]
def unescape(s):
    return re.sub(r"\\(.)", lambda m: "\n" if m.group(1) == "n" else m.group(1), s)
def check(e):
    if "from" not in e or "to" not in e:
        sys.exit("%s (line %d): needs from: and to:" % (e["id"], e["line"]))
    text = open(e["file"], encoding="utf-8", errors="surrogateescape", newline="").read()
    count = text.count(unescape(e["from"]))
    if count != 1:
        sys.exit("%s: the from text occurs %d times in %s" % (e["id"], count, e["file"]))
    return text
if cmd == "ids":
    ids = [e["id"] for e in entries]
    if len(ids) != len(set(ids)):
        sys.exit("mutant ids repeat")
    for e in entries:
        check(e)
    print("\n".join(ids))
    sys.exit(0)
e = next((e for e in entries if e["id"] == sys.argv[3]), None)
if e is None:
    sys.exit("no mutant " + sys.argv[3])
if cmd == "show":
    print(e["file"]); print(e["tests"]); print(e["desc"])
elif cmd == "apply":
    text = check(e)
    open(e["file"], "w", encoding="utf-8", errors="surrogateescape", newline="").write(text.replace(unescape(e["from"]), unescape(e["to"]), 1))
EOF
}

# Builds the test executables that a ctest -R expression selects (all when empty).
build_for() {
    local regex=$1 tests known targets
    if [ -z "$regex" ]; then
        nice cmake --build "$BUILD" -j2
        return
    fi
    tests=$(ctest --test-dir "$BUILD" -N -R "$regex" | sed -n 's/^ *Test *#[0-9]*: *//p')
    [ -n "$tests" ] || { echo "no test matches $regex" >&2; return 1; }
    # A test that is a script (the floors check) has no target of its own to build.
    known=$(cmake --build "$BUILD" --target help | sed -n 's/^\.\.\. \([^ ]*\).*/\1/p')
    targets=$(grep -Fxf <(echo "$tests") <(echo "$known") || true)
    [ -n "$targets" ] || return 0
    # shellcheck disable=SC2086
    nice cmake --build "$BUILD" -j2 --target $targets
}

run_tests() {
    local regex=$1
    if [ $FUNCTIONS -eq 1 ]; then
        nice ctest --test-dir "$BUILD" --timeout "$TIMEOUT" --output-on-failure ${regex:+-R "$regex"}
        return
    fi
    if [ -z "$regex" ]; then
        nice ctest --test-dir "$BUILD" --timeout "$TIMEOUT" --stop-on-failure
    else
        nice ctest --test-dir "$BUILD" --timeout "$TIMEOUT" --stop-on-failure -R "$regex"
    fi
}

say() {
    echo "$*"
    [ -z "$REPORT" ] || echo "$*" >>"$REPORT"
}

IDS=$(mutant ids) || exit 2
[ $# -eq 0 ] || IDS=$*
[ -z "$REPORT" ] || : >"$REPORT"

if [ $SANITY -eq 1 ]; then
    echo "checking the unmutated tree..."
    if ! build_for "" >"$LOGDIR/sanity.log" 2>&1 || ! run_tests "" >>"$LOGDIR/sanity.log" 2>&1; then
        echo "the unmutated tree does not build or pass; see $LOGDIR/sanity.log" >&2
        exit 2
    fi
fi

caught=0 survived=0 broken=0
survivors=
start=$(date +%s)
for id in $IDS; do
    info=$(mutant show "$id") || exit 2
    file=$(sed -n 1p <<<"$info")
    tests=$(sed -n 2p <<<"$info")
    desc=$(sed -n 3p <<<"$info")
    log=$LOGDIR/$id.log
    t0=$(date +%s)

    TARGET_FILE=$ROOT/$file
    BACKUP=$(mktemp)
    cp "$TARGET_FILE" "$BACKUP"
    mutant apply "$id" || exit 2
    if ! build_for "$tests" >"$log" 2>&1; then
        outcome="NO-BUILD"
        broken=$((broken + 1))
        survivors="$survivors $id"
    elif run_tests "$tests" >>"$log" 2>&1; then
        outcome="SURVIVED"
        survived=$((survived + 1))
        survivors="$survivors $id"
    else
        outcome="caught"
        caught=$((caught + 1))
    fi
    restore
    by=$(sed -n 's/^[[:space:]]*[0-9]* - \(tst_[A-Za-z_]*\) .*/\1/p' "$log" | sort -u | tr '\n' ' ')
    functions=
    [ $FUNCTIONS -eq 0 ] || functions=$(sed -n 's/^FAIL! *: \([A-Za-z0-9_]*::[A-Za-z0-9_]*\).*/\1/p' "$log" | sort -u | tr '\n' ' ')
    say "$(printf '%-4s %-8s %-28s %4ss  %s%s%s' "$id" "$outcome" "$file" $(($(date +%s) - t0)) "$desc" \
        "${by:+  [failed: ${by% }]}" "${functions:+  [functions: ${functions% }]}")"
done

# Leave the build matching the restored sources.
nice cmake --build "$BUILD" -j2 >"$LOGDIR/final.log" 2>&1 || echo "final build failed: $LOGDIR/final.log" >&2

total=$((caught + survived + broken))
say "summary: $caught of $total caught, $survived survived, $broken did not build ($(($(date +%s) - start))s; logs in $LOGDIR)"
[ -z "$survivors" ] || say "not caught:$survivors"
[ -z "$survivors" ]
