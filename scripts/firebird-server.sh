# Sourced by scripts/test and scripts/bench: starts the Debian package's Firebird 3 server on
# a free loopback port with a SYSDBA password of its own, exports ZENOBRA_TEST_FB_SERVER and
# ZENOBRA_TEST_FB_PASSWORD, and stops that server (by its process id) when the script exits.

firebird_sudo=""
[ "$(id -u)" -eq 0 ] || firebird_sudo="sudo"
firebird_port_in_use() { (exec 3<>"/dev/tcp/127.0.0.1/$1") 2>/dev/null; }

start_firebird_server() {
  local security=/var/lib/firebird/3.0/system/security3.fdb server=/usr/sbin/firebird port password
  port=$((20000 + RANDOM % 30000))
  while firebird_port_in_use "$port"; do port=$((20000 + RANDOM % 30000)); done

  # A new machine has no SYSDBA password anyone knows: set one through the embedded engine
  # before the server opens its security database.
  password="zk$(od -An -N6 -tx1 /dev/urandom | tr -d ' \n')"
  printf "create or alter user SYSDBA password '%s' using plugin Srp;\ncommit;\n" "$password" |
    $firebird_sudo isql-fb -q -user SYSDBA "$security" >/dev/null

  firebird_scratch=$(mktemp -d)
  $firebird_sudo "$server" -p "$port" >"$firebird_scratch/server.log" 2>&1 &
  firebird_pid=$!
  trap stop_firebird_server EXIT

  for _ in $(seq 100); do firebird_port_in_use "$port" && break; sleep 0.1; done
  if ! firebird_port_in_use "$port"; then
    echo "the Firebird server did not start:" >&2
    cat "$firebird_scratch/server.log" >&2
    return 1
  fi
  export ZENOBRA_TEST_FB_SERVER="127.0.0.1/$port"
  export ZENOBRA_TEST_FB_PASSWORD="$password"
}

stop_firebird_server() {
  $firebird_sudo kill "$firebird_pid" 2>/dev/null || true
  wait "$firebird_pid" 2>/dev/null || true
  rm -rf "$firebird_scratch"
}
