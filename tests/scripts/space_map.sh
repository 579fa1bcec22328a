# norvex-cli map and report --savings against a scanned folder: the SVG draws every file
# with its path and actual size where the report shows them, escapes what the path
# holds, and the savings add up the hinted files of the whole subtree.
source "$(dirname "$0")/lib.sh"
command -v jq >/dev/null || skip "jq is not installed (scripts/deps installs it)"

make_work_drives
echo y >"$scratch/d/Work/x&y<\"z\".txt"
now="2026-06-01 00:00:00"

# Every file has a cell (the folder is small enough), with the report's actual size.
svg="$scratch/map.svg"
cli map --now "$now" --size 400x300 --svg "$svg" "$scratch/d/Work" || fail "map failed"
cells=$(grep -o 'class="file"[^>]*data-path="[^"]*" data-bytes="[0-9]*"' "$svg" |
    sed -E 's/.*data-path="([^"]*)" data-bytes="([0-9]*)"/\1\t\2/' | sort)
report=$(cli report --json --now "$now" "$scratch/d/Work")
sub=$(cli report --json --now "$now" "$scratch/d/Work/sub")
expected=$( (jq -r '.rows[] | select(.kind == 15) | "D:\\Work\\\(.name)\t\(.actualSize)"' <<<"$report"
    jq -r '.rows[] | select(.kind == 15) | "D:\\Work\\sub\\\(.name)\t\(.actualSize)"' <<<"$sub") |
    sed 's/&/\&amp;/g; s/</\&lt;/g; s/"/\&quot;/g' | sort)
expect_equal "map cells" "$cells" "$expected"
[[ $(grep -c '<title>' "$svg") -eq $(($(grep -c 'class="' "$svg") + 1)) ]] || fail "a cell without a title"
grep -q '<g id="legend"' "$svg" || fail "no legend"
grep -q 'fill="#377eb8" data-path="D:\\Work\\b.bin"' "$svg" || fail "b.bin (never used) is not coloured as B"

# Bad input: a clear message, exit status 2, and the old map kept.
cp "$svg" "$scratch/kept.svg"
for bad in "--colour red" "--size 0x10" "--size 20x20x" "--now yesterday"; do
    set +e
    # shellcheck disable=SC2086
    cli map $bad --svg "$svg" "$scratch/d/Work" 2>"$scratch/stderr"
    status=$?
    set -e
    expect_equal "map $bad status" "$status" 2
    [[ -s $scratch/stderr ]] || fail "map $bad gave no message"
done
cmp -s "$svg" "$scratch/kept.svg" || fail "a refused map changed the file"

# Savings: B counts b.bin, c.txt and the odd name (never used); a.txt is busy.
text=$(cli report --savings --now "$now" "$scratch/d/Work")
hinted=$( (jq '.rows[] | select(.kind == 15 and .name != "a.txt") | .actualSize' <<<"$report"
    jq '.rows[] | select(.kind == 15) | .actualSize' <<<"$sub") | jq -s add)
expect_equal "savings text" "$text" \
    "$(printf 'B\t3\t%s\nC\t0\t0\nD\t0\t0\nR\t0\t0\ncoverage\tRecorded throughout the database%ss span' "$hinted" "'")"
doc=$(cli report --savings --json --now "$now" "$scratch/d/Work")
expect_equal "savings json" "$(jq -r '.letters[] | "\(.letter)\t\(.files)\t\(.bytes)"' <<<"$doc")" "$(grep -v ^coverage <<<"$text")"
expect_equal "savings format" "$(jq -c '[.format, .version, .compressionRatio]' <<<"$doc")" '["norvex-savings",1,null]'

# A database nobody recorded: its files are not "never used", and the report says why.
echo never >"$scratch/e/never.txt"
"$tools/norvex-recorder" watch --since "2026-01-01 00:00:00" E:
text=$(cli report --savings --now "$now" "$scratch/e")
expect_equal "unrecorded B" "$(grep '^B' <<<"$text")" "$(printf 'B\t0\t0\tnot recorded long enough: 0 of 15 days')"
expect_equal "unrecorded C" "$(grep '^C' <<<"$text" | cut -f1-3)" "$(printf 'C\t0\t0')"
doc=$(cli report --savings --json --now "$now" "$scratch/e")
expect_equal "unrecorded json" "$(jq -c '[.coverage.backUp.allowed, .coverage.compress.allowed]' <<<"$doc")" '[false,false]'
finish
