#!/usr/bin/env bash
# Builds a fresh Firebird database file with the embedded engine:
#   build-db.sh OUT.fdb FILE.sql...
# The files run in order on a new WIN1252 database; they are read as UTF-8.
# Any SQL error stops the build with a non-zero exit and leaves no OUT behind.
# ISQL and GFIX name Firebird's isql and gfix (default: isql-fb and gfix
# from the PATH); without gfix the file keeps the engine's forced writes.
set -euo pipefail

if [ $# -lt 2 ]; then
  echo "usage: $0 OUT.fdb FILE.sql..." >&2
  exit 2
fi

isql=${ISQL:-isql-fb}
gfix=${GFIX:-gfix}
out=$(realpath -m -- "$1")
shift

# SQL string literal: single quotes doubled.
quote() { printf "'%s'" "${1//\'/\'\'}"; }

# Build beside the target and move it into place only when every file ran,
# so a failed run never leaves a half-built database that looks up to date.
part="$out.part"
script=$(mktemp "${TMPDIR:-/tmp}/build-db.XXXXXX.sql")
trap 'rm -f -- "$script" "$part"' EXIT

{
  echo "SET NAMES UTF8;"
  echo "CONNECT $(quote "$part");"
  for f in "$@"; do
    [ -r "$f" ] || { echo "build-db: cannot read $f" >&2; exit 1; }
    echo "INPUT $(quote "$(realpath -- "$f")");"
  done
  echo "COMMIT;"
} > "$script"

mkdir -p -- "$(dirname -- "$out")"
rm -f -- "$out" "$part"
echo "CREATE DATABASE $(quote "$part") DEFAULT CHARACTER SET WIN1252;" \
  | "$isql" -q -b -user SYSDBA
# These files are for tests, benchmarks and the demo: without a disk flush
# at every page write they build, and tests on copies of them run, several
# times faster on a busy machine.
if command -v "$gfix" >/dev/null; then
  "$gfix" -write async -user SYSDBA "$part"
fi
# -b stops at the first failing statement and makes isql exit non-zero.
"$isql" -q -b -user SYSDBA -i "$script"
# The engine makes the file private to whoever ran this; a Firebird server
# running as its own user must be able to open it (and copies of it) too.
chmod a+rw -- "$part"
mv -f -- "$part" "$out"
