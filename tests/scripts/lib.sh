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
