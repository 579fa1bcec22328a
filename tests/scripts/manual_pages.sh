# The manual pages: every option and command that a program's --help names is in its
# page, every page names the environment variables, and each page formats without a
# warning and shows with man -l as installed (compressed).
source "$(dirname "$0")/lib.sh"

declare -A binary=(
    [norvex]="$build/src/norvex"
    [norvex-cli]="$tools/norvex-cli"
    [norvex-recorder]="$tools/norvex-recorder"
    [norvex-shadow]="$tools/norvex-shadow"
)
for program in "${!binary[@]}"; do
    [[ -x ${binary[$program]} ]] || skip "${binary[$program]} is not built"
    page="$source_dir/packaging/man/$program.1"
    # The roff source as text: \- is a hyphen.
    text=$(sed 's/\\-/-/g' "$page")
    help=$("${binary[$program]}" --help)

    for option in $(grep -o -- '--[a-z][a-z-]*' <<<"$help" | sort -u); do
        grep -qe "$option\b" <<<"$text" || fail "$program(1) does not describe $option"
    done
    # Commands are listed under "Commands:" with two spaces before them.
    for command in $(sed -n '/^Commands:/,/^$/p' <<<"$help" | grep -oE '^  [a-z]+' || true); do
        grep -qE "^\.BR? \"?$command\b" <<<"$text" || fail "$program(1) does not describe the command $command"
    done
    for variable in NORVEX_DRIVES NORVEX_STATE_DIR NORVEX_CONFIG_DIR NORVEX_RECORDER; do
        grep -q "$variable" <<<"$text" || fail "$program(1) does not name $variable"
    done
    for section in SYNOPSIS OPTIONS FILES ENVIRONMENT "EXIT STATUS" EXAMPLES; do
        grep -q "^\.SH \"\?$section" <<<"$text" || fail "$program(1) has no $section section"
    done

    warnings=$(groff -man -Tutf8 -ww -z "$page" 2>&1)
    [[ -z $warnings ]] || fail "$program(1) formats with warnings: $warnings"
    installed="$build/packaging/man/$program.1.gz"
    if [[ -f $installed ]]; then
        shown=$(MANPAGER=cat MANWIDTH=80 man -l "$installed" 2>&1)
        grep -q "^NAME" <<<"$shown" && grep -q "$program" <<<"$shown" ||
            fail "man -l $installed shows: $(head -5 <<<"$shown")"
    else
        fail "$installed was not built"
    fi
done
finish
