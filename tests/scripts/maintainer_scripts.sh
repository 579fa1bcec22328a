# The package's maintainer scripts, run as dpkg runs them, against a throw-away root
# ($DPKG_ROOT) in a private mount namespace whose /etc/group and /run are copies: the
# group norvex, a state folder of root:norvex 2770 that tables left by an earlier
# version join, the unit enabled, and started or stopped only where systemd runs; remove
# keeps the state, purge deletes it. addgroup and the systemd helpers are stand-ins that
# log what they are asked.
source "$(dirname "$0")/lib.sh"
scripts="$source_dir/packaging/maintainer"

if [[ ${NORVEX_IN_NAMESPACE:-} != 1 ]]; then
    [[ $(id -u) == 0 ]] || skip "needs root, for a private mount namespace"
    unshare -m --propagation private true 2>/dev/null || skip "mount namespaces are not allowed here"
    rm -rf "$scratch"  # the run below makes its own
    NORVEX_IN_NAMESPACE=1 exec unshare -m --propagation private bash "$0" "$@"
fi

cp /etc/group "$scratch/group"
mount --bind "$scratch/group" /etc/group
mount -t tmpfs tmpfs /run
root="$scratch/root"
log="$scratch/calls"
mkdir -p "$root" "$scratch/bin"
for tool in deb-systemd-invoke systemctl; do
    printf '#!/bin/sh\necho "%s $*" >>"%s"\n' "$tool" "$log" >"$scratch/bin/$tool"
done
cat >"$scratch/bin/addgroup" <<SHIM
#!/bin/sh
echo "addgroup \$*" >>"$log"
echo "norvex:x:4711:" >>/etc/group
SHIM
# was-enabled answers as on a first installation: the unit was never disabled.
cat >"$scratch/bin/deb-systemd-helper" <<SHIM
#!/bin/sh
echo "deb-systemd-helper \$*" >>"$log"
SHIM
chmod +x "$scratch"/bin/*
export PATH="$scratch/bin:$PATH" DPKG_ROOT="$root"

run() {  # run SCRIPT ARGS...: the calls it made, one line each
    : >"$log"
    sh -e "$scripts/$1" "${@:2}" || fail "$1 ${*:2} failed"
    cat "$log"
}
state="$root/var/lib/norvex"

# A machine without systemd (a container, a chroot): set up, enabled, nothing started.
calls=$(run postinst configure)
expect_equal "first configure" "$calls" "addgroup --system --quiet norvex
deb-systemd-helper unmask norvex-recorder.service
deb-systemd-helper --quiet was-enabled norvex-recorder.service
deb-systemd-helper enable norvex-recorder.service"
expect_equal "state folder" "$(stat -c '%a %U %G' "$state")" "2770 root norvex"

# An upgrade where systemd runs: no second group, an older table joins it, a restart.
mkdir -p /run/systemd/system
install -m 644 /dev/null "$state/DriveTbl.NVX"
calls=$(run postinst configure 0.9.0)
grep -q addgroup <<<"$calls" && fail "the group was made twice"
grep -qx "systemctl --system daemon-reload" <<<"$calls" || fail "no daemon-reload: $calls"
grep -qx "deb-systemd-invoke restart norvex-recorder.service" <<<"$calls" || fail "no restart: $calls"
expect_equal "older table" "$(stat -c '%a %G' "$state/DriveTbl.NVX")" "660 norvex"
expect_equal "fresh install starts" "$(run postinst configure | grep invoke)" \
    "deb-systemd-invoke start norvex-recorder.service"

expect_equal "prerm" "$(DPKG_ROOT='' run prerm remove)" "deb-systemd-invoke stop norvex-recorder.service"
expect_equal "postrm remove" "$(run postrm remove)" "systemctl --system daemon-reload"
[[ -f $state/DriveTbl.NVX ]] || fail "remove deleted the machine's activity"
calls=$(run postrm purge)
[[ -e $state ]] && fail "purge kept $state"
grep -qx "deb-systemd-helper purge norvex-recorder.service" <<<"$calls" || fail "purge left the unit's state: $calls"

# Without systemd nothing is stopped.
rm -r /run/systemd
expect_equal "prerm without systemd" "$(DPKG_ROOT='' run prerm remove)" ""
finish
