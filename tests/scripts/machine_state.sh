# One recorder for the whole machine and the users of its state, as real processes: the
# recorder runs as root with the unit's umask on a scratch state folder shared by a group
# (setgid, 2770). A member's program makes the default databases at its first start,
# holding and releasing the recorder; a file the member opens then shows its count in
# norvex-cli. A user outside the group is told how to join, sees no count, writes
# nothing, and the recorder refuses their hold even when the socket's modes would let it
# through. Users are made with setpriv (uid, gid and groups), so no account is needed.
source "$(dirname "$0")/lib.sh"
[[ $(id -u) == 0 ]] || skip "needs root: the recorder runs as root and the users are made with setpriv"
command -v setpriv >/dev/null || skip "setpriv is not installed (util-linux)"
setpriv --reuid=4243 --regid=4243 --clear-groups true 2>/dev/null || skip "this machine does not let root switch users"
program="$build/src/norvex"
[[ -x $program ]] || skip "this build has no window program (NORVEX_CORE_ONLY)"

group=4242 member=4243 outsider=4244
chmod 755 "$scratch"
state="$scratch/state"
mkdir -p "$state" "$scratch/d"
chgrp "$group" "$state"
chmod 2770 "$state"
echo hello >"$scratch/d/report.txt"
chmod 644 "$scratch/d/report.txt"
export NORVEX_STATE_DIR="$state" NORVEX_DRIVES="C=$state,D=$scratch/d" NORVEX_RECORDER="$scratch/run/recorder.sock"
unset NORVEX_CONFIG_DIR XDG_RUNTIME_DIR

# as UID GROUPS COMMAND...: runs COMMAND as a user with a home of their own (the tip of
# the day switched off there); start_as runs it in the background, $started being the
# command's own pid (env and setpriv replace themselves by it).
user_command() {
    local uid=$1 groups=$2 home="$scratch/home/$1"
    shift 2
    if [[ ! -d $home ]]; then
        mkdir -p "$home/config"
        printf '[Tip]\nStartUp=1\n' >"$home/config/norvex.ini"
        chown -R "$uid:$uid" "$home"
    fi
    local switch=(--clear-groups)
    [[ -n $groups ]] && switch=(--groups="$groups")
    command_line=(env HOME="$home" NORVEX_CONFIG_DIR="$home/config" QT_QPA_PLATFORM=offscreen
        setpriv --reuid="$uid" --regid="$uid" "${switch[@]}" "$@")
}
as() {
    user_command "$@"
    "${command_line[@]}"
}
start_as() {
    user_command "$@"
    "${command_line[@]}" &
    started=$!
}

recorder_pid=
stop_all() {
    [[ -n $recorder_pid ]] && kill "$recorder_pid" 2>/dev/null && wait "$recorder_pid" 2>/dev/null || true
    rm -rf "$scratch"
}
trap stop_all EXIT
(umask 0007 && exec "$tools/norvex-recorder" run --inotify --interval 1 --nice 0) 2>"$scratch/recorder.log" &
recorder_pid=$!
for _ in $(seq 100); do grep -q ", control on " "$scratch/recorder.log" && break; sleep 0.1; done
grep -q ", control on " "$scratch/recorder.log" || { cat "$scratch/recorder.log"; fail "the recorder never listened"; finish; }
expect_equal "socket folder" "$(stat -c '%a %g' "$scratch/run")" "750 $group"
expect_equal "socket" "$(stat -c '%a %g' "$NORVEX_RECORDER")" "660 $group"

# A member gives D: a database that stores names; the first start of the member's program
# adds the default one of C: and is ended then.
as "$member" "$group" "$tools/norvex-recorder" watch --names D: || fail "the member could not watch D:"
start_as "$member" "$group" "$program" --splash-seconds 0 >"$scratch/member.log" 2>&1
for _ in $(seq 300); do [[ -f $state/ExecutedAtLeastOneTime ]] && break; sleep 0.1; done
kill "$started" 2>/dev/null; wait "$started" 2>/dev/null || true
[[ -f $state/ExecutedAtLeastOneTime ]] || fail "the member's program made no first run: $(cat "$scratch/member.log")"
drives=$(as "$member" "$group" "$tools/norvex-cli" db | cut -f1 | paste -sd ' ')
expect_equal "databases" "$drives" "D C"

# Counted once released, without any restart.
as "$member" "$group" cat "$scratch/d/report.txt" >/dev/null
sleep 2
count=$(as "$member" "$group" "$tools/norvex-cli" db lookup D: 'D:\report.txt' | cut -f4)
[[ $count =~ ^[1-9] ]] || fail "the member's read was not counted: [$count] $(cat "$scratch/recorder.log")"
# Every table, the name table too, as the member made it or the recorder rewrote it, is
# the group's to read and write, and nobody else's.
[[ -f $state/FileNamD.NVX ]] || fail "no name table"
for file in "$state"/*; do
    expect_equal "${file##*/}" "$(stat -c '%a %g' "$file")" "660 $group"
done

# The outsider: the message, no count, nothing written.
# (The recorder's own write-outs change times, never names, owners or sizes.)
listing() { find "$state" -printf '%P %U %G %m %s\n' | sort; }
before=$(listing)
answer=$(as "$outsider" "" "$tools/norvex-cli" db lookup D: 'D:\report.txt' 2>&1) &&
    fail "the outsider's lookup succeeded: $answer"
grep -q "members of the group norvex" <<<"$answer" || fail "the outsider was not told how to join: $answer"
grep -q "sudo adduser" <<<"$answer" || fail "the outsider was not told how to join: $answer"
start_as "$outsider" "" "$program" --splash-seconds 0 >"$scratch/outsider.log" 2>&1
sleep 3
kill -0 "$started" 2>/dev/null || fail "the outsider's program ended: $(cat "$scratch/outsider.log")"
kill "$started" 2>/dev/null; wait "$started" 2>/dev/null || true
expect_equal "state after the outsider" "$(listing)" "$before"
written=$(find "$scratch" -path "$scratch/home" -prune -o -uid "$outsider" -print)
[[ -z $written ]] || fail "the outsider wrote $written"

# The recorder checks its callers itself: with the socket opened to everybody by mistake,
# the outsider's hold is still refused (and logged), a member's is not.
chmod 755 "$scratch/run"
chmod 666 "$NORVEX_RECORDER"
# hold UID GROUPS: the byte the recorder answers a raw hold (then releases again).
hold() {
    as "$1" "$2" /usr/bin/perl -MIO::Socket::UNIX -e '
        for my $code (0x12345678, 0x87654321) {
            my $s = IO::Socket::UNIX->new(Peer => $ARGV[0]) or die "connect: $!";
            print $s pack("V", $code); $s->flush; $s->read(my $reply, 1);
            print ord($reply), "\n" if $code == 0x12345678;
        }' "$NORVEX_RECORDER"
}
expect_equal "outsider's hold" "$(hold "$outsider" "")" 2
grep -q "refused a control from uid $outsider" "$scratch/recorder.log" || fail "the refusal was not logged"
expect_equal "member's hold" "$(hold "$member" "$group")" 1
finish
