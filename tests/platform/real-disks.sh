#!/usr/bin/env bash
# Runs the real-disk tests on an exFAT image through exfat-fuse and a FAT image through fusefat,
# each on a loop device, inside a mount namespace of their own; everything is taken down again
# afterwards. Skips (77), saying why, only where root, /dev/fuse or loop devices are missing.
set -u
program=$1

skip() {
  echo "real disks skipped: $*"
  exit 77
}
[ "$(id -u)" -eq 0 ] || skip "mounting a loop device needs root"
[ -c /dev/fuse ] || skip "no /dev/fuse"
[ -e /dev/loop-control ] || skip "no loop devices"
for tool in losetup mkfs.exfat mkfs.vfat mount.exfat-fuse fusefat unshare; do
  command -v "$tool" >/dev/null || skip "$tool is missing (scripts/setup.sh installs it)"
done

# The mounts stay inside a namespace of their own, so the host never sees them.
if [ -z "${PIRELA_REAL_DISKS_NAMESPACE:-}" ]; then
  PIRELA_REAL_DISKS_NAMESPACE=1 exec unshare -m --propagation private bash "$0" "$@"
fi

work=$(mktemp -d)
loops=()
cleanup() {
  for folder in "$work/exfat" "$work/fat"; do
    mountpoint -q "$folder" && umount "$folder"
  done
  for loop in "${loops[@]}"; do
    losetup -d "$loop"
  done
  rm -rf "$work"
}
trap cleanup EXIT

attach() { # image: sets loop, and remembers it for the cleanup
  loop=$(losetup -f --show "$1") || skip "no free loop device"
  loops+=("$loop")
}

mkdir "$work/exfat" "$work/fat"
truncate -s 64M "$work/exfat.img" "$work/fat.img"
mkfs.exfat "$work/exfat.img" >/dev/null || exit 1
mkfs.vfat "$work/fat.img" >/dev/null || exit 1
attach "$work/exfat.img"
exfat=$loop
mount.exfat-fuse "$loop" "$work/exfat" >/dev/null || exit 1
attach "$work/fat.img"
fusefat -o rw+ "$loop" "$work/fat" >/dev/null 2>&1 || exit 1

status=0
PIRELA_EXFAT_DIR="$work/exfat" PIRELA_FAT_DIR="$work/fat" "$program" --gtest_filter='-ReplugTest.*' ||
  status=1

# A batch rename on the exFAT card killed in its middle; the card is unplugged (unmounted, its
# loop device detached) and plugged in again on another loop device (its old one taken by
# another image meanwhile), which gives it a new device number and its files new inode numbers,
# and the next start must find every photo under a name the user can see.
replug() {
  PIRELA_EXFAT_DIR="$work/exfat" PIRELA_REPLUG_STATE="$work/state" "$program" --gtest_filter="ReplugTest.$1"
}
mkdir "$work/state"
replug ABatchRenameKilledInItsMiddle || status=1
umount "$work/exfat" && losetup -d "$exfat" || exit 1
truncate -s 1M "$work/other.img"
attach "$work/other.img"
attach "$work/exfat.img"
mount.exfat-fuse "$loop" "$work/exfat" >/dev/null || exit 1
replug EveryPhotoIsVisibleAfterTheReplug || status=1
exit $status
