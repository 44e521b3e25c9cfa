#!/usr/bin/env bash
# Quillet beside libical at 1,000, 10,000 and 100,000 events: parse, parse + expand a year,
# parse + write, and peak memory per event, each in its own process.
#
#   bench/scale.sh [BUILD_DIR] [RUNS]
#
# BUILD_DIR (default: build-bench beside this folder) must hold bin/quillet_gen and
# bin/quillet_scale_driver. The generated calendars go to BUILD_DIR/scale; times are the best of
# RUNS (default 3), memory is the peak resident size less the process's size before loading.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "${1:-$here/../build-bench}" && pwd)
runs=${2:-3}
gen=$build/bin/quillet_gen
driver=$build/bin/quillet_scale_driver
work=$build/scale
sizes=(1000 10000 100000)
ops=(parse expand write)
for tool in "$gen" "$driver"; do
    [[ -x $tool ]] || { echo "scale.sh: $tool is missing; build the bench targets first" >&2; exit 1; }
done
mkdir -p "$work"
export TZ=UTC

# field NAME LINE: the value of NAME=... in a driver line
field() { sed -n "s/.*\b$1=\([^ ]*\).*/\1/p" <<<"$2"; }
# less A B: whether A < B, or B is empty
less() { [[ -z $2 ]] || awk -v a="$1" -v b="$2" 'BEGIN { exit !(a < b) }'; }

declare -A ms opms cpu kb heap occ
for n in "${sizes[@]}"; do
    file=$work/cal-$n.ics
    "$gen" "$n" "$file" >&2
    for op in "${ops[@]}"; do
        for lib in quillet libical; do
            best="" bestcpu=""
            for ((r = 0; r < runs; r++)); do
                line=$("$driver" "$lib" "$op" "$file" "$work/out-$lib-$n.ics")
                t=$(field total_ms "$line") c=$(field cpu_ms "$line")
                if less "$t" "$best"; then
                    best=$t
                    opms[$lib,$n,$op]=$(field op_ms "$line")
                fi
                if less "$c" "$bestcpu"; then bestcpu=$c; fi
                mem=$(( $(field peak_kb "$line") - $(field base_kb "$line") ))
                occ[$lib,$n,$op]=$(field occurrences "$line")
            done
            ms[$lib,$n,$op]=$best
            cpu[$lib,$n,$op]=$bestcpu
            kb[$lib,$n,$op]=$(awk -v m="$mem" -v e="$n" 'BEGIN { printf "%.2f", m / e }')
            heap[$lib,$n,$op]=$(awk -v m="$(field heap_kb "$line")" -v e="$n" 'BEGIN { printf "%.2f", m / e }')
        done
    done
    rm -f "$work"/out-*-"$n".ics
done

printf '\n%-7s %-7s %10s %10s %11s %11s %7s %10s %10s\n' size op "quillet ms" "libical ms" \
    "quillet MB/s" "libical MB/s" ratio "q KB/ev" "lib KB/ev"
for n in "${sizes[@]}"; do
    bytes=$(stat -c %s "$work/cal-$n.ics")
    for op in "${ops[@]}"; do
        awk -v n="$n" -v op="$op" -v b="$bytes" -v q="${ms[quillet,$n,$op]}" -v l="${ms[libical,$n,$op]}" \
            -v qk="${kb[quillet,$n,$op]}" -v lk="${kb[libical,$n,$op]}" 'BEGIN {
            mb = b / 1e6
            printf "%-7d %-7s %10.1f %10.1f %11.1f %11.1f %6.2fx %10s %10s\n", n, op, q, l, mb / (q / 1000),
                   mb / (l / 1000), l / q, qk, lk
        }'
    done
done
echo
echo "ratio: quillet throughput / libical throughput (above 1: quillet is faster)"
echo "ops are whole paths: parse = file to objects; expand = parse + every event's occurrences in 2025;"
echo "write = parse + the calendar back to a file (fsync'd by both)"

echo
echo "the same in CPU time (user + system, best run), which the other load on the machine disturbs less:"
printf '%-7s %-7s %10s %10s %7s\n' size op "quillet ms" "libical ms" ratio
for n in "${sizes[@]}"; do
    for op in "${ops[@]}"; do
        awk -v n="$n" -v op="$op" -v q="${cpu[quillet,$n,$op]}" -v l="${cpu[libical,$n,$op]}" \
            'BEGIN { printf "%-7d %-7s %10.1f %10.1f %6.2fx\n", n, op, q, l, l / q }'
    done
done

echo
echo "of which after parsing (the best run's expansion or writing alone, ms):"
for n in "${sizes[@]}"; do
    printf '  %-7d expand quillet %8.1f  libical %8.1f   write quillet %8.1f  libical %8.1f\n' "$n" \
        "${opms[quillet,$n,expand]}" "${opms[libical,$n,expand]}" "${opms[quillet,$n,write]}" "${opms[libical,$n,write]}"
done

echo
echo "memory per event after parsing (KB): peak resident (whole process, less its size before loading;"
echo "includes the file text and what the reading needs for a while) and what the heap still holds"
for n in "${sizes[@]}"; do
    printf '  %-7d peak quillet %5s  libical %5s   kept quillet %5s  libical %5s\n' "$n" \
        "${kb[quillet,$n,parse]}" "${kb[libical,$n,parse]}" "${heap[quillet,$n,parse]}" "${heap[libical,$n,parse]}"
done

echo
echo "occurrences in 2025 (quillet / libical):"
status=0
for n in "${sizes[@]}"; do
    q=${occ[quillet,$n,expand]} l=${occ[libical,$n,expand]}
    mark=""
    if [[ $q != "$l" ]]; then mark="  DIFFER"; status=1; fi
    echo "  $n events: $q / $l$mark"
done

echo
echo "growth from 10,000 to 100,000 events (10x the input; linear cost gives about 10):"
for op in "${ops[@]}"; do
    awk -v op="$op" -v q1="${ms[quillet,10000,$op]}" -v q2="${ms[quillet,100000,$op]}" \
        -v l1="${ms[libical,10000,$op]}" -v l2="${ms[libical,100000,$op]}" \
        -v c1="${cpu[quillet,10000,$op]}" -v c2="${cpu[quillet,100000,$op]}" \
        -v d1="${cpu[libical,10000,$op]}" -v d2="${cpu[libical,100000,$op]}" \
        'BEGIN { printf "  %-7s wall: quillet %5.1fx  libical %5.1fx    cpu: quillet %5.1fx  libical %5.1fx\n",
                        op, q2 / q1, l2 / l1, c2 / c1, d2 / d1 }'
done
exit $status
