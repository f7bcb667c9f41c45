#!/usr/bin/env sh
# Exits 0 where this machine runs 32-bit x86 programs natively: wine's 32-bit loader (wine32)
# starts, and not through an emulator registered for the whole machine. Kernels built or booted
# without 32-bit support refuse to execute it ("Exec format error"); scripts/qemu32.sh runs it
# there under emulation.
[ -x /usr/lib/wine/wine ] && [ ! -e /proc/sys/fs/binfmt_misc/qemu-i386 ] && /usr/lib/wine/wine --version >/dev/null 2>&1
