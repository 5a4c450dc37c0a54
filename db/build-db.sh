#!/usr/bin/env bash
# Builds a fresh Firebird database file with the embedded engine:
#   build-db.sh OUT.fdb FILE.sql...
# The files run in order on a new WIN1252 database; they are read as UTF-8.
# Any SQL error stops the build with a non-zero exit and leaves no OUT behind.
# ISQL names the isql binary to use (default: isql-fb from the PATH).
set -euo pipefail

if [ $# -lt 2 ]; then
  echo "usage: $0 OUT.fdb FILE.sql..." >&2
  exit 2
fi

isql=${ISQL:-isql-fb}
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
  echo "CREATE DATABASE $(quote "$part") DEFAULT CHARACTER SET WIN1252;"
  for f in "$@"; do
    [ -r "$f" ] || { echo "build-db: cannot read $f" >&2; exit 1; }
    echo "INPUT $(quote "$(realpath -- "$f")");"
  done
  echo "COMMIT;"
} > "$script"

mkdir -p -- "$(dirname -- "$out")"
rm -f -- "$out" "$part"
# -b stops at the first failing statement and makes isql exit non-zero.
"$isql" -q -b -user SYSDBA -i "$script"
mv -f -- "$part" "$out"
