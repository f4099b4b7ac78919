#!/bin/bash
# compare-reports.sh OLD_PROGRAM_DIR NEW_PROGRAM_DIR [COUNT]
#
# Makes COUNT (default 300) data sets of random clients, runs the zepreport of both program
# folders on every client of every set, half of the sets with the one-page summary, and stops
# at the first report (or exit status, or message) that differs, keeping that data set.
# The clients come from zeprandomclients, found beside NEW_PROGRAM_DIR in its build tree
# (or named by ZEP_RANDOM_CLIENTS). SEED (default: random) picks the data sets, so a
# difference can be made again with the same SEED.
set -u
if [ $# -lt 2 ] || [ $# -gt 3 ]; then
    echo "usage: $0 OLD_PROGRAM_DIR NEW_PROGRAM_DIR [COUNT]" >&2
    exit 2
fi
old=$(realpath "$1") || exit 2
new=$(realpath "$2") || exit 2
count=${3:-300}
generator=${ZEP_RANDOM_CLIENTS:-$(dirname "$new")/tools/zeprandomclients}
seed=${SEED:-$RANDOM}
for program in "$old/zepreport" "$new/zepreport" "$generator"; do
    if [ ! -x "$program" ]; then
        echo "$0: $program is missing (build it first)" >&2
        exit 2
    fi
done

work=$(mktemp -d /tmp/compare-reports.XXXXXX)
# Each side works in a copy of its program folder, so REPORT.PRN never lands in the real one.
cp -r "$old" "$work/old" && cp -r "$new" "$work/new" || exit 2
data="$work/DATA401.ZEP"

keep() {
    echo "compare-reports: $1" >&2
    echo "  data set kept: $data (seed $((seed + set)), $clients clients, summary '${summary:-off}')" >&2
    echo "  reports kept:  $work/old.out $work/new.out" >&2
    exit 1
}

run() {   # run SIDE SLOT: the report (or a note that there was none) as SIDE.out, the status as SIDE.rc
    rm -f "$work/$1/REPORT.PRN"
    "$work/$1/zepreport" $summary --folder "$work/$1" "$data" "$2" >"$work/$1.msg" 2>&1
    echo $? >"$work/$1.rc"
    sed -i "s#$work/$1#FOLDER#g" "$work/$1.msg"
    if [ -f "$work/$1/REPORT.PRN" ]; then mv "$work/$1/REPORT.PRN" "$work/$1.out"; else echo "(no report)" >"$work/$1.out"; fi
}

reports=0
for ((set = 1; set <= count; ++set)); do
    # Mostly small sets to keep the run short, now and then a full disk of 51.
    if ((set % 25 == 0)); then clients=51; else clients=$(((seed + set) * 7 % 12 + 1)); fi
    if (((seed + set) % 2)); then summary=--summary; else summary=; fi
    "$generator" $((seed + set)) "$clients" "$data" || keep "zeprandomclients failed"
    for ((slot = 1; slot <= clients; ++slot)); do
        run old "$slot"
        run new "$slot"
        cmp -s "$work/old.rc" "$work/new.rc" || keep "exit status differs for slot $slot"
        cmp -s "$work/old.msg" "$work/new.msg" || keep "messages differ for slot $slot"
        cmp "$work/old.out" "$work/new.out" || keep "reports differ for slot $slot"
        reports=$((reports + 1))
    done
done
rm -rf "$work"
echo "compare-reports: $count data sets, $reports reports, identical (seed $seed)"
