#!/usr/bin/env bash
# Runs every benchmark program given and prints one table a person can read:
# a row per benchmark and item mix (and choice), a column per ledger size,
# the wall time of one run in milliseconds.
set -euo pipefail

for program in "$@"; do
    [ -x "$program" ] || continue
    "$program" --benchmark_format=csv 2>/dev/null | grep -v '^name,' || exit 1
done | awk -F, '
function unitToMs(value, unit) {
    if (unit == "ns") return value / 1e6
    if (unit == "us") return value / 1e3
    if (unit == "s") return value * 1e3
    return value
}
/^"/ {
    name = $1; gsub(/"/, "", name)
    n = split(name, part, "/")
    row = part[1]; size = "-"
    for (i = 2; i <= n; i++) {
        split(part[i], kv, ":")
        if (kv[1] == "iterations" || kv[1] == "min_time") continue
        if (kv[1] == "entries") { size = kv[2]; continue }
        if (kv[1] == "distinct") { row = row (kv[2] == 1 ? " (every item different)" : " (realistic)"); continue }
        row = row " " part[i]
    }
    if (!(row in seen)) { seen[row] = 1; order[++rows] = row }
    if (!(size in sizeSeen)) { sizeSeen[size] = 1; sizes[++sizeCount] = size }
    time[row, size] = unitToMs($3, $5)
}
END {
    # Sizes in numeric order, "-" (benchmarks of one size) last.
    for (i = 1; i <= sizeCount; i++)
        for (j = i + 1; j <= sizeCount; j++)
            if ((sizes[j] != "-" && (sizes[i] == "-" || sizes[j] + 0 < sizes[i] + 0))) {
                t = sizes[i]; sizes[i] = sizes[j]; sizes[j] = t
            }
    printf "%-70s", "benchmark (ms per run)"
    for (i = 1; i <= sizeCount; i++) printf " %16s", (sizes[i] == "-" ? "one size" : sizes[i] " entries")
    printf "\n"
    for (r = 1; r <= rows; r++) {
        printf "%-70s", order[r]
        for (i = 1; i <= sizeCount; i++) {
            key = order[r] SUBSEP sizes[i]
            if (key in time) printf " %16.2f", time[key]; else printf " %16s", ""
        }
        printf "\n"
    }
}'
