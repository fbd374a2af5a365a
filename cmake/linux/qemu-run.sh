#!/bin/sh
# Runs a Linux program built for another processor under QEMU's user-mode
# emulation, as CMake's cross-compiling emulator and wherever a script
# starts such a program:
#
#   cmake/linux/qemu-run.sh PROGRAM [ARGUMENT...]
#
# The processor comes from the program's ELF header (e_machine), so one
# wrapper serves every cross build; the target's dynamic loader and C
# library are taken from Debian's cross toolchain (/usr/<triple>).
# Anything else (a program or script of this machine: CMake hands its
# emulator the tests' Python interpreter too) runs as it is.
set -eu
if [ "$#" -eq 0 ]; then
  echo "usage: qemu-run.sh PROGRAM [ARGUMENT...]" >&2
  exit 2
fi
program=$1
if [ ! -f "$program" ]; then
  exec "$@"  # a name on the PATH, or missing: the shell says so
fi
# e_ident[EI_DATA] (byte 5: 1 little-endian, 2 big-endian) and e_machine
# (bytes 18 and 19, in that byte order).
header=$(od -An -tx1 -j5 -N1 "$program" | tr -d ' \n'):$(od -An -tx1 -j18 -N2 "$program" | tr -d ' \n')
case "$header" in
  01:b700) qemu=qemu-aarch64 triple=aarch64-linux-gnu ;;
  02:0016) qemu=qemu-s390x triple=s390x-linux-gnu ;;
  *) exec "$@" ;;
esac
export QEMU_LD_PREFIX="${QEMU_LD_PREFIX:-/usr/$triple}"
exec "$qemu" "$@"
