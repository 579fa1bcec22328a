# Bash completion of norvex-cli, norvex-recorder and norvex-shadow: the commands and
# options it offers are the ones each program's --help names, and drive arguments get
# the letters of the drive map the command line (or the environment) gives.
source "$(dirname "$0")/lib.sh"
for program in norvex-cli norvex-recorder norvex-shadow; do
    [[ -x $tools/$program ]] || skip "$tools/$program is not built"
done
export PATH="$tools:$PATH"
source "$source_dir/packaging/completion/norvex"

# completions LINE: what Tab offers at the end of LINE, sorted, on one line.
completions() {
    COMP_LINE=$1
    COMP_POINT=${#1}
    read -ra COMP_WORDS <<<"$1"
    COMP_CWORD=${#COMP_WORDS[@]}
    COMPREPLY=()
    "$(complete -p "${COMP_WORDS[0]}" | sed -E 's/.*-F ([^ ]+) .*/\1/')" 2>/dev/null
    printf '%s\n' "${COMPREPLY[@]}" | sort | paste -sd ' '
}
# The options named in TEXT (but the --option=VALUE that explains the syntax), sorted.
options_in() { grep -oE -- '--[a-z][a-z-]*' <<<"$1" | grep -vx -- --option | sort -u | paste -sd ' '; }
# The help text of COMMAND: its lines from "  COMMAND" to the next command.
command_help() { awk -v c="$2" '$0 ~ "^  " c "( |$)" {on=1; print; next} /^  [a-z]|^$/ {on=0} on' <<<"$1"; }
commands_in() { sed -n '/^Commands:/,/^$/p' <<<"$1" | grep -oE '^  [a-z]+' | sort | paste -sd ' '; }
global_options=$(options_in "$(sed -n '/^Global options:/,$p' <<<"$("$tools/norvex-cli" --help)")")

for program in norvex-cli norvex-recorder; do
    help=$("$tools/$program" --help)
    expect_equal "$program commands" "$(completions "$program ")" "$(commands_in "$help" | sed 's/^ *//; s/  */ /g')"
    expect_equal "$program global options" "$(completions "$program --")" \
        "$(tr ' ' '\n' <<<"$global_options --help --version" | sort | paste -sd ' ')"
    for command in $(commands_in "$help"); do
        expect_equal "$program $command options" "$(completions "$program --state-dir /tmp $command --")" \
            "$(options_in "$(command_help "$help" "$command")")"
    done
done
help=$("$tools/norvex-shadow" --help)
expect_equal "norvex-shadow options" "$(completions "norvex-shadow --")" \
    "$(tr ' ' '\n' <<<"$(options_in "$help") --help --version" | sort -u | paste -sd ' ')"
expect_equal "norvex-shadow --overwrite" "$(completions "norvex-shadow --overwrite ")" "all skip"

expect_equal "sort keys" "$(completions "norvex-cli report --sort ")" "0 1 10 11 12 13 15 2 3 4 5 6 7 8 9"

# Drive letters: from the environment, or from --drives on the line (either form).
mkdir -p "$scratch"/{c,d,f}
export NORVEX_DRIVES="C=$scratch/c,D=$scratch/d" NORVEX_STATE_DIR="$scratch/c"
expect_equal "analyse drives" "$(completions "norvex-cli analyse ")" "C: D:"
expect_equal "lookup drives" "$(completions "norvex-cli db lookup ")" "C: D:"
expect_equal "drives named on the line" "$(completions "norvex-cli --drives C=$scratch/c,F=$scratch/f analyse ")" "C: F:"
expect_equal "drives named with =" "$(completions "norvex-cli --drives=\"C=$scratch/c,F=$scratch/f\" analyse ")" "C: F:"
expect_equal "watch drives" "$(completions "norvex-recorder watch --names ")" "C: D:"
expect_equal "location drives" "$(completions "norvex-recorder watch --location ")" "C: D:"
expect_equal "one drive letter" "$(completions "norvex-cli analyse d")" ""  # letters are upper case
expect_equal "db lookup" "$(completions "norvex-cli db ")" "lookup"

# Paths: host folders for a folder argument, files after the drive of db lookup.
touch "$scratch/d/file.txt"
expect_equal "scan folders" "$(completions "norvex-cli scan $scratch/")" "$scratch/c $scratch/d $scratch/f"
expect_equal "lookup path" "$(completions "norvex-cli db lookup D: $scratch/d/")" "$scratch/d/file.txt"

finish
