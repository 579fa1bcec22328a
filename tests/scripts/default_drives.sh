# The default drive map in a mount namespace holding what machines hold: the firmware's
# partition on /boot/efi, two overlays, a bind mount, a memory filesystem and a disk.
# Each real filesystem is one drive, the rest say why they are none, and the disk keeps
# its letter when it is unmounted and mounted again.
source "$(dirname "$0")/lib.sh"

command -v unshare >/dev/null && command -v mkfs.ext4 >/dev/null && command -v mkfs.vfat >/dev/null &&
    command -v jq >/dev/null || skip "unshare, mkfs.ext4, mkfs.vfat or jq missing"
((EUID == 0)) || skip "mounting needs root"
unshare -m --propagation private true 2>/dev/null || skip "mount namespaces are not allowed here"

truncate -s 16M "$scratch/disk.img" "$scratch/efi.img" "$scratch/efi-ext4.img"
mkfs.ext4 -q -F "$scratch/disk.img"
mkfs.ext4 -q -F "$scratch/efi-ext4.img"
mkfs.vfat "$scratch/efi.img" >/dev/null

result=$(NORVEX_DRIVES= NORVEX_STATE_DIR="$scratch/state" unshare -m --propagation private bash -s \
    "$tools/norvex-cli" "$scratch" <<'INNER'
set -euo pipefail
cli=$1 s=$2
mkdir -p "$s"/{state,disk,bind,lower,o1,o2,w1,w2,u1,u2}
mount -o loop "$s/disk.img" "$s/disk" || exit 77
mkdir -p "$s/disk/photos"
mount --bind "$s/disk/photos" "$s/bind"
mount -t tmpfs boot /boot && mkdir -p /boot/efi
# Where the kernel has no vfat, a disk of another kind stands in: its place decides.
mount -o loop "$s/efi.img" /boot/efi 2>/dev/null || mount -o loop "$s/efi-ext4.img" /boot/efi
for o in 1 2; do
    mount -t overlay overlay -o "lowerdir=$s/lower,upperdir=$s/u$o,workdir=$s/w$o" "$s/o$o"
done
letter() { "$cli" drives --json | jq -r --arg root "$1" '.drives[] | select(.root == $root) | .letter'; }
before=$(letter "$s/disk")
"$cli" drives --json >"$s/first.json"
umount "$s/bind" "$s/disk"
"$cli" drives --json >"$s/absent.json"
mount -o loop "$s/disk.img" "$s/disk"
echo "$before $(letter "$s/disk")"
INNER
) || { (($? == 77)) && skip "loop mounts are not allowed here"; fail "the namespace run failed"; finish; }

first="$scratch/first.json"
expect_equal "the disk, once" "$(jq -r --arg r "$scratch/disk" '[.drives[] | select(.root == $r)] | length' "$first")" 1
expect_equal "no bind mount, overlay or firmware partition is a drive" \
    "$(jq -r --arg s "$scratch" '[.drives[] | select(.root == "/boot/efi" or .root == "\($s)/bind" or (.root | startswith("\($s)/o")))] | length' "$first")" 0
expect_equal "the bind mount's reason" \
    "$(jq -r --arg r "$scratch/bind" '.leftOut[] | select(.mountPoint == $r) | .reason' "$first")" \
    "same filesystem as $scratch/disk (a bind mount or a second mount)"
jq -e '.leftOut[] | select(.mountPoint == "/boot/efi") | .reason | test("firmware")' "$first" >/dev/null ||
    fail "/boot/efi is left out as the firmware's"
expect_equal "overlays left out" "$(jq -r '[.leftOut[] | select(.fileSystem == "overlay")] | length' "$first")" 2
jq -e '.drives[] | select(.identity != null)' "$first" >/dev/null || fail "drives show their identity"
read -r before after <<<"$result"
expect_equal "the disk's letter while it is away" \
    "$(jq -r --arg r "$scratch/disk" '.absent[] | select(.lastRoot == $r) | .letter' "$scratch/absent.json")" "$before"
expect_equal "the disk's letter when it is back" "$after" "$before"
finish
