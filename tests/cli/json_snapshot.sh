#!/usr/bin/env bash
# Writes the CLI's JSON for every subcommand on the bundled samples at L = 12, 24 and
# (N+1)/2 into OUTDIR, one file per run (with the text output of the investigations,
# whose headers print the parameters), so two builds can be compared byte for byte:
#   tests/cli/json_snapshot.sh build/cli/kelvane-cli before/
#   ... change ...
#   tests/cli/json_snapshot.sh build/cli/kelvane-cli after/ && diff -r before after
set -euo pipefail
cli=$(realpath "$1")
out=$2
data=$(cd "$(dirname "$0")/../../data" && pwd)
mkdir -p "$out"
for file in "$data"/*.dat; do
    name=$(basename "$file" .dat)
    n=$("$cli" info "$file" --json | sed -n 's/.*"N": *\([0-9]*\).*/\1/p')
    "$cli" info "$file" --json > "$out/$name-info.json"
    for L in 12 24 $(( (n + 1) / 2 )); do
        run() { local tag=$1; shift; "$cli" "$@" "$file" --L "$L" --json --no-progress > "$out/$name-L$L-$tag.json" 2>&1 || echo "exit $?" >> "$out/$name-L$L-$tag.json"; }
        run decompose decompose
        run reconstruct reconstruct --group 1,2,3
        run trend trend
        run trend-kendall trend --method kendall
        run trend-roots trend --method roots
        run period period
        run period-phi period --estimation phi
        run period-periodogr period --estimation periodogr --goal 2
        run summation summation
        run forecast forecast --points 24
        run wcor wcor --amount 8
        for cmd in trend period summation; do
            "$cli" $cmd "$file" --L "$L" --no-progress > "$out/$name-L$L-$cmd.txt" 2>&1 || echo "exit $?" >> "$out/$name-L$L-$cmd.txt"
        done
        "$cli" forecast "$file" --L "$L" --points 24 --no-progress > "$out/$name-L$L-forecast.txt" 2>&1 || echo "exit $?" >> "$out/$name-L$L-forecast.txt"
    done
done
