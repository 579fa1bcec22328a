# Shared by the script tests: run as  bash TEST.sh BUILD_DIR SOURCE_DIR.
# Exit 77 means skipped (ctest shows it so).
set -euo pipefail
export LC_ALL=C
build=$(cd "$1" && pwd)
source_dir=$(cd "$2" && pwd)
tools="$build/tools"
failures=0

fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

skip() {
    echo "SKIP: $*"
    exit 77
}

# expect_equal WHAT ACTUAL EXPECTED
expect_equal() {
    [[ $2 == "$3" ]] || fail "$1: got [$2], expected [$3]"
}

finish() {
    if ((failures > 0)); then
        echo "$failures check(s) failed" >&2
        exit 1
    fi
    echo "all checks passed"
}

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

cli() { "$tools/norvex-cli" "$@"; }

# Drives C:, D: ("Data") and E: in the scratch folder, D:\Work holding a.txt (read 5 and
# written 2 times on 2026-04-01), b.bin (5000 bytes) and sub\c.txt, D: watched since 2026.
make_work_drives() {
    mkdir -p "$scratch"/{c,d/Work/sub,e,config}
    export NORVEX_DRIVES="C=$scratch/c,D=$scratch/d=Data,E=$scratch/e"
    export NORVEX_CONFIG_DIR="$scratch/config" NORVEX_RECORDER="$scratch/recorder.sock"
    echo hello >"$scratch/d/Work/a.txt"
    head -c 5000 /dev/zero >"$scratch/d/Work/b.bin"
    echo x >"$scratch/d/Work/sub/c.txt"
    "$tools/norvex-recorder" watch --since "2026-01-01 00:00:00" D:
    # As if the recorder had run all along: only recorded time tells "never used".
    "$tools/norvex-recorder" record --covered "2026-01-01 00:00:00" "2026-06-01 00:00:00" D:
    "$tools/norvex-recorder" record --read 5 --write 2 --at "2026-04-01 09:30:00" "$scratch/d/Work/a.txt" >/dev/null
}
