#!/usr/bin/env bash
# Compares the JSON of two builds of ornexa-report, byte for byte, on the bundled samples and on
# reports written by ornexa-samplegen (other seeds, another simulated pool, the largest report).
#
#   tests/cli/compare_reports.sh OLD_ORNEXA_REPORT NEW_ORNEXA_REPORT SAMPLEGEN [WORKDIR]
#
# With OLD_ORNEXA_REPORT given as "-", the documents of NEW are only written into WORKDIR (to be
# compared later, or against a build that no longer exists). Exits 1 on the first difference.
set -euo pipefail

old=$1
new=$2
gen=$3
work=${4:-$(mktemp -d)}
here=$(cd "$(dirname "$0")/../.." && pwd)
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
    "badfield|$work/in/badfield.sta||"
    "notreport|$work/in/notreport.sta||"
    "nopool|$here/samples/statistics-usa.sta|$work/in/largest.sim|"
    "badobject|$work/in/seed7.sta|$work/in/badobject.sim|"
)

status=0
for c in "${cases[@]}"; do
    IFS='|' read -r name sta sim extra <<<"$c"
    args=("$sta" --json --objects --acc-dir "$here/data")
    [ -n "$sim" ] && args+=(--sim "$sim")
    # shellcheck disable=SC2206
    [ -n "$extra" ] && args+=($extra)
    "$new" "${args[@]}" >"$work/new/$name.json" || true
    "$new" "${args[@]:0:1}" "${args[@]:2}" >"$work/new/$name.txt" || true # the text report too
    if [ "$old" != "-" ]; then
        "$old" "${args[@]}" >"$work/old/$name.json" || true
        "$old" "${args[@]:0:1}" "${args[@]:2}" >"$work/old/$name.txt" || true
        for kind in json txt; do
            if cmp -s "$work/old/$name.$kind" "$work/new/$name.$kind"; then
                echo "same      $name.$kind ($(wc -c <"$work/new/$name.$kind") bytes)"
            else
                echo "DIFFERENT $name.$kind"
                diff "$work/old/$name.$kind" "$work/new/$name.$kind" | head -n 20
                status=1
            fi
        done
    fi
done
exit $status
