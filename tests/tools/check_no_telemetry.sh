#!/usr/bin/env bash
# Runs a program that loads ONNX Runtime with an empty home and temporary folder, under strace,
# and fails when the runtime's telemetry left a trace: anything in the home folder but Orvello's
# own model cache (its event store would be there), its client's mat-debug-*.log in the temporary
# folder, an internet socket, or a read of the CA bundle it would upload with.
#   check_no_telemetry.sh PROGRAM [ARGUMENTS...]
set -uo pipefail
sandbox=$(mktemp -d)
trap 'rm -rf "$sandbox"' EXIT
mkdir -p "$sandbox/home" "$sandbox/tmp"

# The user's own switch must not hide a program that forgot ours.
env -u ORT_DISABLE_TELEMETRY HOME="$sandbox/home" XDG_CACHE_HOME="$sandbox/home/.cache" \
  TMPDIR="$sandbox/tmp" strace -f -qq -e trace=socket,connect,openat -o "$sandbox/trace" "$@" \
  >"$sandbox/stdout" 2>&1
status=$?
if [ "$status" != 0 ]; then
  echo "the program failed (exit status $status):"; cat "$sandbox/stdout"; exit 1
fi

failed=0
fail() { echo "$*"; failed=1; }
# Orvello's own model cache belongs in the user's cache folder; anything else there is not ours.
left_in_home=$(cd "$sandbox/home" && find . -mindepth 1 -not -path ./.cache -not -path './.cache/orvello' \
  -not -path './.cache/orvello/*')
[ -z "$left_in_home" ] || fail "left in the home folder: $left_in_home"
left_in_tmp=$(cd "$sandbox/tmp" && find . -name 'mat-debug-*')
[ -z "$left_in_tmp" ] || fail "left in the temporary folder: $left_in_tmp"
sockets=$(grep -E 'socket\(AF_INET6?,|connect\(.*AF_INET' "$sandbox/trace")
[ -z "$sockets" ] || fail "internet sockets: $sockets"
certificates=$(grep -E 'openat\(.*(ca-certificates|\.crt"|\.pem")' "$sandbox/trace")
[ -z "$certificates" ] || fail "read the CA bundle: $certificates"
exit $failed
