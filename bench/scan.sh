#!/usr/bin/env bash
# Warm full scans with norvex-cli beside du -sx on the same trees, in the same run: /usr
# and a generated tree of 1,000,000 files in deep folders (bench/deep_tree.py: paths of
# about 270 characters). The tools take turns, round after round, so that the load of
# a shared machine falls on all of them alike; figures are medians over the rounds.
#
# Per tree: seconds and CPU seconds of du, of the scan and of a bare getdents64 + statx
# walk on one thread (bench/bare_walk.c, the floor of any walk), the scan's ratios to
# du, and memory per entry: peak resident memory (minus that of scanning an empty
# folder, which is the program's fixed cost) beside the heap bytes the records hold.
#
#   bench/scan.sh        NORVEX_BENCH_BUILD=dir  build directory (build-release)
#                        NORVEX_BENCH_CLI=file   the norvex-cli to measure (default: built)
#                        NORVEX_BENCH_TREE=dir   where the deep tree lives
#                        NORVEX_BENCH_FILES=n    its files (1000000)
#                        NORVEX_BENCH_RUNS=n     rounds (5)
#                        NORVEX_BENCH_WIDE_TREE=dir  where the wide tree lives
#                        NORVEX_BENCH_WIDE_FILES=n   its files: 0 (default) makes none
#                                                (bench/wide_tree.py: mail, caches, sources)
#                        NORVEX_BENCH_TREES=".." trees to measure (/usr, the deep tree and
#                                                the wide one when it is made)
#                        NORVEX_BENCH_NICE=n     run the timed tools at this niceness (root:
#                                                -20 shields them from other work)
#
# "reads" is the median of disk read requests per scan: far above 0, the cache did not
# hold the tree between runs and the wall times measure the disk, not the programs.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${NORVEX_BENCH_BUILD:-$root/build-release}
files=${NORVEX_BENCH_FILES:-1000000}
tree=${NORVEX_BENCH_TREE:-${TMPDIR:-/tmp}/norvex-bench-deep}
runs=${NORVEX_BENCH_RUNS:-5}
nice=${NORVEX_BENCH_NICE:-0}
wide_tree=${NORVEX_BENCH_WIDE_TREE:-${TMPDIR:-/tmp}/norvex-bench-wide}
wide_files=${NORVEX_BENCH_WIDE_FILES:-0}
if [ "$wide_files" -gt 0 ]; then
  trees=${NORVEX_BENCH_TREES:-/usr $tree $wide_tree}
else
  trees=${NORVEX_BENCH_TREES:-/usr $tree}
fi

if [ -z "${NORVEX_BENCH_CLI:-}" ]; then
  if [ ! -f "$build/CMakeCache.txt" ]; then
    cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DNORVEX_CORE_ONLY=ON >/dev/null
  fi
  cmake --build "$build" --target norvex-cli >/dev/null
fi
cli=${NORVEX_BENCH_CLI:-$build/tools/norvex-cli}
walk=$build/bare_walk
cc -O2 -o "$walk" "$root/bench/bare_walk.c"
run_timed=$build/run_timed
cc -O2 -o "$run_timed" "$root/bench/run_timed.c"

# The generated trees are made once and kept for later runs (a marker lies beside each).
make_tree() { # make_tree GENERATOR DIR FILES
  if [ ! -f "$2.complete-$3" ]; then
    echo "generating $3 files in $2 ..." >&2
    rm -rf "$2"
    python3 "$root/bench/$1" "$2" "$3" >&2
    touch "$2.complete-$3"
  fi
}
make_tree deep_tree.py "$tree" "$files"
if [ "$wide_files" -gt 0 ]; then make_tree wide_tree.py "$wide_tree" "$wide_files"; fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/state" "$work/nothing"

# Read requests completed by the whole disks (not partitions, loop or RAM devices).
disks=$(ls /sys/block | grep -Ev '^(loop|ram|zram)' | tr '\n' ' ')
disk_reads() {
  awk -v disks=" $disks" 'index(disks, " " $3 " ") { n += $4 } END { print n + 0 }' /proc/diskstats
}
# timed NAME CMD...: runs CMD once, appends "wall cpu peak_kb reads" to $work/NAME.
timed() {
  local name=$1 before
  shift
  before=$(disk_reads)
  nice -n "$nice" "$run_timed" "$work/time" "$@"
  awk -v reads=$(( $(disk_reads) - before )) '{ printf "%s %s %s %d\n", $1, $2, $3, reads }' \
    "$work/time" >>"$work/$name"
}
# median FILE COLUMN
median() {
  sort -g -k"$2","$2" "$1" | awk -v c="$2" '{ v[NR] = $c } END { print v[int((NR + 1) / 2)] }'
}
# scan_args TREE: the command that scans TREE as drive D: fully.
scan_args() {
  args=("$cli" --state-dir "$work/state" --drives "C=$work/state,D=$1" scan 'D:\')
}

echo "load average before: $(cut -d' ' -f1-3 /proc/loadavg); cores: $(nproc); rounds: $runs"
scan_args "$work/nothing"
for _ in 1 2 3; do timed empty "${args[@]}"; done
empty_kb=$(median "$work/empty" 3)

printf '%-24s %8s | %6s %6s %6s | %6s %6s %6s | %6s %6s | %7s %7s %7s | %6s\n' \
  tree entries du_s scan_s walk_s du_cpu scan_cpu walk_cpu 'wall' 'cpu' rss_B/e heap_B/e peak_MB reads
printf '%-24s %8s | %20s | %20s | %13s | %23s |\n' '' '' 'median seconds' 'median CPU seconds' 'scan / du' 'memory per entry'
for target in $trees; do
  rm -f "$work/du" "$work/scan" "$work/walk"
  scan_args "$target"
  du -sx "$target" >/dev/null 2>&1; "${args[@]}" >/dev/null 2>&1  # warm the caches
  for _ in $(seq "$runs"); do
    timed du du -sx "$target"
    timed scan "${args[@]}"
    timed walk "$walk" "$target"
  done
  stats=$("${args[@]}" --stats 2>&1 >/dev/null)
  entries=$(sed -n 's/^entries \([0-9]*\),.*/\1/p' <<<"$stats")
  heap=$(sed -n 's/.* \([0-9.]*\) heap bytes\/entry.*/\1/p' <<<"$stats")
  awk -v t="$target" -v n="$entries" -v heap="$heap" -v empty="$empty_kb" \
    -v du="$(median "$work/du" 1)" -v scan="$(median "$work/scan" 1)" -v walk="$(median "$work/walk" 1)" \
    -v du_cpu="$(median "$work/du" 2)" -v scan_cpu="$(median "$work/scan" 2)" \
    -v walk_cpu="$(median "$work/walk" 2)" -v peak="$(median "$work/scan" 3)" \
    -v reads="$(median "$work/scan" 4)" \
    'BEGIN { printf "%-24s %8d | %6.3f %6.3f %6.3f | %6.3f %6.3f %6.3f | %6.3f %6.3f | %7.1f %7.1f %7.1f | %6d\n",
             t, n, du, scan, walk, du_cpu, scan_cpu, walk_cpu, scan / du, scan_cpu / du_cpu,
             (peak - empty) * 1024 / n, heap, peak / 1024, reads }'
done
echo "load average after: $(cut -d' ' -f1-3 /proc/loadavg); empty-folder scan peak: $((empty_kb / 1024)) MB"
echo "goals: wall scan/du <= 1.0 on /usr and <= 1.25 on the deep tree; CPU <= 2 x du on /usr; <= 100 B/entry"
