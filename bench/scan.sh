#!/usr/bin/env bash
# Warm full scans with norvex-cli beside du -sx and find -xdev on the same trees, in the
# same run: /usr and a generated tree of 1,000,000 files. Prints seconds (best of the
# runs after a warm-up), the ratios to du and find, entries per second and the memory
# each scanned entry costs (heap, names included).
#
#   bench/scan.sh                  NORVEX_BENCH_BUILD=dir   build directory (build-release)
#                                  NORVEX_BENCH_TREE=dir    where the generated tree lives
#                                  NORVEX_BENCH_FILES=n     its size (1000000)
#                                  NORVEX_BENCH_RUNS=n      timed runs per tool (3)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${NORVEX_BENCH_BUILD:-$root/build-release}
tree=${NORVEX_BENCH_TREE:-${TMPDIR:-/tmp}/norvex-bench-tree}
files=${NORVEX_BENCH_FILES:-1000000}
runs=${NORVEX_BENCH_RUNS:-3}

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DNORVEX_CORE_ONLY=ON >/dev/null
cmake --build "$build" --target norvex-cli >/dev/null
cli=$build/tools/norvex-cli

# The generated tree: 100 files a folder, 100 folders a group; sparse files, so that it
# takes inodes but next to no disk space. Made once and kept for later runs.
if [ ! -f "$tree/.complete-$files" ]; then
  echo "generating $files files in $tree ..." >&2
  rm -rf "$tree"
  python3 - "$tree" "$files" <<'EOF'
import os, random, sys
root, files = sys.argv[1], int(sys.argv[2])
random.seed(42)
for i in range(files):
    folder = os.path.join(root, "group%d" % (i // 10000), "folder%d" % (i // 100))
    if i % 100 == 0:
        os.makedirs(folder, exist_ok=True)
    name = "f" * random.randint(4, 24) + "%d.dat" % i
    fd = os.open(os.path.join(folder, name), os.O_CREAT | os.O_WRONLY, 0o644)
    os.ftruncate(fd, random.randint(0, 1 << 20))
    os.close(fd)
open(os.path.join(root, ".complete-%d" % files), "w").close()
EOF
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/state"

# best_of CMD...: the shortest wall time of $runs runs, in seconds, after one warm-up.
best_of() {
  "$@" >/dev/null 2>&1
  local best="" start end took
  for _ in $(seq "$runs"); do
    start=$(date +%s%N)
    "$@" >/dev/null 2>&1
    end=$(date +%s%N)
    took=$(( end - start ))
    if [ -z "$best" ] || [ "$took" -lt "$best" ]; then best=$took; fi
  done
  awk -v ns="$best" 'BEGIN { printf "%.3f", ns / 1e9 }'
}

printf '%-28s %9s %8s %8s %8s %8s %8s %12s %8s\n' tree entries du_s find_s scan_s scan/du scan/find entries/s B/entry
for target in /usr "$tree"; do
  du_s=$(best_of du -sx "$target")
  find_s=$(best_of find "$target" -xdev)
  scan_s=$(best_of "$cli" --state-dir "$work/state" --drives "C=$work/state,D=$target" scan 'D:\')
  stats=$("$cli" --state-dir "$work/state" --drives "C=$work/state,D=$target" scan --stats 'D:\' 2>&1 >/dev/null)
  entries=$(sed -n 's/^entries \([0-9]*\),.*/\1/p' <<<"$stats")
  bytes=$(sed -n 's/.* \([0-9.]*\) heap bytes\/entry.*/\1/p' <<<"$stats")
  awk -v t="$target" -v n="$entries" -v du="$du_s" -v find="$find_s" -v scan="$scan_s" -v b="$bytes" \
    'BEGIN { printf "%-28s %9d %8.3f %8.3f %8.3f %8.2f %8.2f %12.0f %8.1f\n", t, n, du, find, scan, scan / du, scan / find, n / scan, b }'
done
echo "cores: $(nproc); goal: scan/du <= 1.5"
