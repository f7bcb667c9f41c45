#!/usr/bin/env sh
# Exits 0 where this machine runs 32-bit x86 programs: wine's 32-bit loader (wine32) starts.
# Kernels built or booted without 32-bit support refuse to execute it ("Exec format error").
[ -x /usr/lib/wine/wine ] && /usr/lib/wine/wine --version >/dev/null 2>&1
