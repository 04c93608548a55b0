#!/usr/bin/env bash
# Compares every document two builds write, byte for byte, on the bundled samples and on reports
# written by ornexa-samplegen (other seeds, another simulated pool, the largest report): the JSON, the
# text report, the CSV lists, --commands, --regroup, the history's --list, --trend and --compare,
# and, when both windows are given, the text of `ornexa --pdf` read back with pdftotext.
#
#   tests/cli/compare_reports.sh OLD_ORNEXA_REPORT NEW_ORNEXA_REPORT SAMPLEGEN [WORKDIR [OLD_ORNEXA NEW_ORNEXA]]
#
# With OLD_ORNEXA_REPORT given as "-", the documents of NEW are only written into WORKDIR/new (to be
# compared later with `diff -r`, or against a build that no longer exists). Each document is written
# with the exit status of the run that wrote it; a history's import times are the only text
# replaced, as they differ from run to run. Exits 1 when any document differs.
set -euo pipefail

# Programs named by a relative path still run from inside the history's folder.
absolute() { [ -z "$1" ] || [ "$1" = "-" ] && echo "$1" || realpath "$1"; }
old=$(absolute "$1")
new=$(absolute "$2")
gen=$3
work=${4:-$(mktemp -d)}
old_gui=$(absolute "${5:-}")
new_gui=$(absolute "${6:-}")
here=$(cd "$(dirname "$0")/../.." && pwd)
data=$here/data
rm -rf "$work/old" "$work/new"
mkdir -p "$work/in" "$work/old" "$work/new"

"$gen" --seed 7 --sim-pool BP4 --usa "$work/in/seed7.sta" --simulation "$work/in/seed7.sim"
"$gen" --seed 99 --sim-pool BP10 --non-usa "$work/in/seed99.sta" --country FRA --simulation "$work/in/seed99.sim"
"$gen" --seed 12345 --sim-pool BP3 --usa "$work/in/seed12345.sta" --simulation "$work/in/seed12345.sim"
"$gen" --seed 5 --sim-pool BP37 --largest "$work/in/largest.sta" --largest-simulation "$work/in/largest.sim"
"$gen" --usa "$work/in/sample.sta" --simulation "$work/in/sample.sim"
# Reads that stop: a field that is not a number, a file that is no report, a pool that is not there.
sed '40s/^\(.\{70\}\)./\1X/' "$here/samples/statistics-usa.sta" >"$work/in/badfield.sta"
printf 'not a report\nat all\n' >"$work/in/notreport.sta"
sed '9s/^\(.\{66\}\)./\1X/' "$work/in/seed7.sim" >"$work/in/badobject.sim"

# name|statistics|simulation or empty|extra arguments
cases=(
    "usa|$here/samples/statistics-usa.sta|$here/samples/simulation-bp1.sim|"
    "deu|$here/samples/statistics-deu.sta|$here/samples/simulation-bp1.sim|"
    "usa-nosim|$here/samples/statistics-usa.sta||"
    "seed7|$work/in/seed7.sta|$work/in/seed7.sim|"
    "seed99|$work/in/seed99.sta|$work/in/seed99.sim|--radius 0.7"
    "seed12345|$work/in/seed12345.sta|$work/in/seed12345.sim|--radius 3"
    "largest|$work/in/largest.sta|$work/in/largest.sim|"
    "sample-bp1|$work/in/sample.sta|$work/in/sample.sim|--pool BP1 --pool BP7"
    "pool-lower|$here/samples/statistics-usa.sta|$here/samples/simulation-bp1.sim|--pool bp1"
    "badfield|$work/in/badfield.sta||"
    "notreport|$work/in/notreport.sta||"
    "nopool|$here/samples/statistics-usa.sta|$work/in/largest.sim|"
    "badobject|$work/in/seed7.sta|$work/in/badobject.sim|"
)

# One document: standard output, standard error and the exit status of one run.
document() {
    local out=$1
    shift
    local rc=0
    "$@" >"$out" 2>"$out.err" || rc=$?
    echo "exit $rc" >>"$out.err"
}

# Every document of one build of ornexa-report (and of ornexa, when given) into the folder `out`.
write_documents() {
    local report=$1 gui=$2 out=$3
    for c in "${cases[@]}"; do
        IFS='|' read -r name sta sim extra <<<"$c"
        local args=("$sta")
        [ -n "$sim" ] && args+=(--sim "$sim")
        # shellcheck disable=SC2206
        [ -n "$extra" ] && args+=($extra)
        document "$out/$name.json" "$report" "${args[@]}" --json --objects --acc-dir "$data"
        document "$out/$name.txt" "$report" "${args[@]}" --objects --acc-dir "$data"
        document "$out/$name.commands" "$report" "${args[@]}" --commands --acc-dir "$data"
        document "$out/$name.pools.csv" "$report" "${args[@]}" --csv pools --acc-dir "$data"
        document "$out/$name.objects.csv" "$report" "${args[@]}" --csv objects --acc-dir "$data"
        document "$out/$name.rules.csv" "$report" "${args[@]}" --csv rules --usage S --acc-dir "$data"
        if [ -n "$sim" ]; then
            document "$out/$name.clusters.csv" "$report" "${args[@]}" --csv clusters --size 2 --acc-dir "$data"
            document "$out/$name.regroup" "$report" "${args[@]}" --regroup BP20,,BP21 --acc-dir "$data"
            document "$out/$name.regroup.json" "$report" "${args[@]}" --regroup BP20 --json --acc-dir "$data"
        fi
    done
    document "$out/compare-files.txt" "$report" --compare "$here/samples/statistics-usa.sta" \
        "$here/samples/statistics-deu.sta"
    document "$out/compare-files.json" "$report" --compare "$work/in/seed7.sta" "$work/in/seed12345.sta" --json

    # A history in the output folder, under the same relative name for both builds.
    (
        cd "$out"
        document import.txt "$report" --history history.db --import "$here/samples" "$work/in"
        for format in "" --json "--csv"; do
            document "list$format.txt" "$report" --history history.db --list $format
            document "trend$format.txt" "$report" --history history.db --trend --pool BP1 $format
        done
        document trend-system.txt "$report" --history history.db --trend --pool BP0 --system SYSA
        document compare-ids.txt "$report" --history history.db --compare 1 2
        document compare-ids.json "$report" --history history.db --compare 2 3 --json
        rm -f history.db
        # When each report came in is the one thing that differs from run to run.
        sed -i -E 's/20[0-9]{2}-[0-9]{2}-[0-9]{2}T[0-9:]{8}Z/IMPORTED/g' list*.txt compare-ids.*
    )

    if [ -n "$gui" ]; then
        local pdfs=(
            "usa|$here/samples/statistics-usa.sta|$here/samples/simulation-bp1.sim|"
            "deu|$here/samples/statistics-deu.sta||--pool BP1 --graph 7"
            "seed99|$work/in/seed99.sta|$work/in/seed99.sim|--pool bp10"
        )
        for c in "${pdfs[@]}"; do
            IFS='|' read -r name sta sim extra <<<"$c"
            local args=("$sta")
            [ -n "$sim" ] && args+=(--simulation "$sim")
            # shellcheck disable=SC2206
            [ -n "$extra" ] && args+=($extra)
            document "$out/$name.pdf.out" env QT_QPA_PLATFORM=offscreen "$gui" "${args[@]}" --pdf "$out/$name.pdf"
            sed -i "s|$out/||g" "$out/$name.pdf.out"
            grep -v '^QStandardPaths' "$out/$name.pdf.out.err" >"$out/$name.pdf.err" || true
            rm -f "$out/$name.pdf.out.err"
            [ -f "$out/$name.pdf" ] && pdftotext -layout "$out/$name.pdf" "$out/$name.pdf.txt" && rm "$out/$name.pdf"
        done
    fi
}

write_documents "$new" "$new_gui" "$work/new"
[ "$old" = "-" ] && exit 0
write_documents "$old" "$old_gui" "$work/old"

status=0
for f in "$work/old"/*; do
    name=${f##*/}
    if cmp -s "$f" "$work/new/$name"; then
        echo "same      $name ($(wc -c <"$f") bytes)"
    else
        echo "DIFFERENT $name"
        diff "$f" "$work/new/$name" | head -n 20 || true
        status=1
    fi
done
for f in "$work/new"/*; do
    [ -e "$work/old/${f##*/}" ] || { echo "NEW ONLY  ${f##*/}"; status=1; }
done
exit $status
