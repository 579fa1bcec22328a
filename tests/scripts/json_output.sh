# The --json outputs of norvex-cli and norvex-shadow: each one JSON document with its
# format name and version, saying what the tab-separated text says; standard output
# holds nothing else, and no progress line appears when standard error is no terminal.
source "$(dirname "$0")/lib.sh"
command -v jq >/dev/null || skip "jq is not installed (scripts/deps installs it)"

make_work_drives
: >"$scratch/d/Work/"$'odd\tname\xff'

# json FORMAT ARGS...: runs norvex-cli ARGS, checks the document's format and version
# and that standard error stayed empty, and leaves the document in $doc.
json() {
    local format=$1
    shift
    doc=$("$@" 2>"$scratch/stderr") || fail "$* failed"
    jq -e --arg f "$format" '.format == $f and .version == 1' <<<"$doc" >/dev/null ||
        fail "$*: not one $format version 1 document: $doc"
    [[ ! -s $scratch/stderr ]] || fail "$* wrote to standard error: $(cat -v "$scratch/stderr")"
}

# drives: the same letters and folders as the text.
json norvex-drives cli drives --json
expect_equal "drives" "$(jq -r '.drives[] | "\(.letter)\t\(.root)\t\(.label)"' <<<"$doc")" \
    "$(cli drives | cut -f1,2,4)"

# report: the rows in list order, with the counters and dates the list shows.
json norvex-report cli report --json --sort 4 "$scratch/d/Work"
text=$(cli report --sort 4 "$scratch/d/Work" 2>"$scratch/stderr")
[[ ! -s $scratch/stderr ]] || fail "report drew progress on a file: $(cat -v "$scratch/stderr")"
expect_equal "report names" "$(jq -r '.rows[].name | select(startswith("odd") | not)' <<<"$doc")" \
    "$(tail -n +2 <<<"$text" | cut -f1 | grep -v '^odd')"
expect_equal "report sizes" "$(jq -r '.rows[].size' <<<"$doc")" "$(tail -n +2 <<<"$text" | cut -f5)"
expect_equal "report a.txt" \
    "$(jq -c '.rows[] | select(.name == "a.txt") | [.accessCount, .readOnly, .writeOnly, .lastAccess, .lastOperation]' <<<"$doc")" \
    '[7,5,2,"2026-04-01 09:30:00",1]'
expect_equal "report unused" "$(jq -c '.rows[] | select(.name == "b.bin") | [.accessCount, .lastAccess, .lastOperation]' <<<"$doc")" \
    '[0,null,null]'
grep -q 'odd\\u0009name\\udcff' <<<"$doc" || fail "a name with a tab and a byte that is no UTF-8 is not escaped: $doc"

# analyse: a row per cluster size, the texts of the dialog.
json norvex-analysis cli analyse --json D:
text=$(cli analyse D:)
expect_equal "analyse sizes" "$(jq -r '.rows[].clusterSize' <<<"$doc")" "$(head -8 <<<"$text" | cut -f1)"
expect_equal "analyse disk sizes" "$(jq -r '.rows[].diskSize' <<<"$doc")" "$(head -8 <<<"$text" | cut -f2)"
expect_equal "analyse optimal" "$(jq -r .optimalClusterSize <<<"$doc")" "$(sed -n 's/^Optimal cluster size:\t//p' <<<"$text")"

# db and db lookup: the drive table's record and one file's counters.
json norvex-drive-table cli db --json
expect_equal "db" "$(jq -c '.records[] | [.drive, .location, .capacity, .recordsInUse, .spanStart, .spanEnd, .namesStored]' <<<"$doc")" \
    '["D:","C:",4096,1,"2026-01-01 00:00:00","2099-12-31 23:59:58",false]'
expect_equal "db capacity" "$(jq -r '.records[].capacity' <<<"$doc")" "$(cli db | cut -f10)"
json norvex-access-record cli db lookup D: "$scratch/d/Work/a.txt" --json
expect_equal "db lookup" "$(jq -c '[.path, .record.readOnly, .record.writeOnly, .record.total, .record.lastAccess]' <<<"$doc")" \
    '["D:\\Work\\a.txt",5,2,7,"2026-04-01 09:30:00"]'
expect_equal "db lookup index" "$(jq -r .record.index <<<"$doc")" "$(cli db lookup D: "$scratch/d/Work/a.txt" | cut -f1)"
json norvex-access-record cli db lookup --json D: "$scratch/d/Work/b.bin"
expect_equal "db lookup not found" "$(jq -c .record <<<"$doc")" null

# handoff and norvex-shadow on a file with a back-up that works and a restore whose copy
# is missing. Record: u16 length, path, action, kind (15 file), backup drive letter.
record() {
    printf "\\x$(printf %02x $((${#1} & 255)))\\x$(printf %02x $((${#1} >> 8)))%s\\x$(printf %02x "$2")\\x0f\\x45" "$1"
}
{
    printf '\x02\x00\x00\x00'
    record 'D:\Work\a.txt' 4
    record 'D:\Work\gone.txt' 8
} >"$scratch/ShadowTbl.NVX"
json norvex-handoff cli handoff --json "$scratch/ShadowTbl.NVX"
expect_equal "handoff" "$(jq -r '.actions[] | "\(.action)\t\(.kind)\t\(.backupDrive)\t\(.path)"' <<<"$doc")" \
    "$(cli handoff "$scratch/ShadowTbl.NVX" | tail -n +2)"

cd "$scratch"
status=0
doc=$("$tools/norvex-shadow" --json --dry-run 2>/dev/null) || status=$?
expect_equal "shadow dry run exit status with a missing source" "$status" 1
expect_equal "shadow dry run" "$(jq -c '[.dryRun, [.actions[].result], .succeeded, .failed]' <<<"$doc")" \
    '[true,["not performed","not performed"],0,0]'
[[ -e ShadowTbl.NVX ]] || fail "a dry run used up the hand-off file"

status=0
doc=$("$tools/norvex-shadow" --json 2>"$scratch/stderr") || status=$?
expect_equal "shadow exit status with a failed action" "$status" 1
expect_equal "shadow results" "$(jq -c '[.dryRun, [.actions[] | [.action, .path, .result]], .succeeded, .failed]' <<<"$doc")" \
    '[false,[["back up","D:\\Work\\a.txt","succeeded"],["restore","D:\\Work\\gone.txt","failed"]],1,1]'
grep -q '^1 actions succeeded, 1 failed$' "$scratch/stderr" || fail "the run's own lines did not go to standard error"
! grep -q $'[\r\033]' "$scratch/stderr" || fail "a progress line was drawn on a file: $(cat -v "$scratch/stderr")"
expect_equal "backed-up copy" "$(cat "$scratch/e/Work/a.txt")" hello

finish
