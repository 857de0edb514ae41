#!/usr/bin/env bash
# small-disk.sh mount|unmount DIR: a 2 MiB tmpfs at DIR for the tests that
# fill the target drive. A refused mount is not an error: the folder then has
# no marker file and those tests skip.
set -uo pipefail
action=$1 dir=$2
case $action in
mount)
  mkdir -p "$dir"
  mountpoint -q "$dir" && umount "$dir"
  if mount -t tmpfs -o size=2m,mode=0777 tmpfs "$dir" 2>/dev/null; then
    : > "$dir/.small-disk"
    echo "small disk: 2 MiB tmpfs at $dir"
  else
    echo "small disk: mount refused here; the disk-full tests will skip"
  fi ;;
unmount)
  mountpoint -q "$dir" && umount "$dir"
  echo "small disk: unmounted" ;;
esac
exit 0
