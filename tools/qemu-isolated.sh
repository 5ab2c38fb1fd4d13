#!/bin/sh
# qemu-isolated.sh QEMU PROGRAM [ARGS]: runs a program of another architecture
# under qemu-user in a PID namespace of its own.
# Why: Qt's QProcess starts a child with clone(CLONE_PIDFD), which qemu-user
# (Debian 12's 7.2) refuses; Qt then holds the failed start for a child with
# pid -1, and ending it sends kill(-1, SIGKILL): every process the user may
# signal, as root the whole machine. In a namespace of its own that reaches no
# further than the program itself.
set -e
qemu=$1
shift
if [ "$(id -u)" -eq 0 ]; then
    exec unshare --pid --fork --kill-child --mount-proc "$qemu" "$@"
fi
exec unshare --user --map-root-user --pid --fork --kill-child --mount-proc "$qemu" "$@"
