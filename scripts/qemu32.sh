#!/usr/bin/env bash
# Runs COMMAND with 32-bit x86 programs executed by qemu-user-static, for machines whose kernel
# cannot run them. The emulator is registered with binfmt_misc in a user namespace of COMMAND's
# own (Linux 6.7 and later), so nothing changes for the rest of the machine; where the machine
# has registered it already, COMMAND runs as it is. Flag F opens the emulator at registration,
# so that it is found from any mount namespace or root below. wine needs the top of the 32-bit
# address space reserved, or it cannot map its shared user data.
# Exits 125 without running COMMAND where no emulation can be set up, saying why on stderr.
# Usage: scripts/qemu32.sh COMMAND [ARG...]
set -euo pipefail
qemu=$(command -v qemu-i386-static) || { echo "qemu32: qemu-user-static is not installed" >&2; exit 125; }
export QEMU_RESERVED_VA=0xf7000000
[ -e /proc/sys/fs/binfmt_misc/qemu-i386 ] && exec "$@"
# Executables of the i386 family (e_machine 3), as qemu's own binfmt set-up matches them.
magic='\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00'
mask='\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff'
unshare --user --map-root-user --mount --fork sh -c '
  if ! mount -t binfmt_misc binfmt_misc /proc/sys/fs/binfmt_misc 2>/dev/null; then
    echo "qemu32: this kernel offers no binfmt_misc of its own to a user namespace (Linux 6.7 and later do)" >&2
    exit 125
  fi
  printf "%s" ":qemu-i386:M::$1:$2:$3:F" >/proc/sys/fs/binfmt_misc/register
  shift 3
  exec "$@"' sh "$magic" "$mask" "$qemu" "$@"
