# Sourced by scripts/test and scripts/bench: the services a run needs (a Firebird 3 server
# of our own on free loopback ports, a bare X server), and the end of everything the script started,
# however the script ends (success, failure, Ctrl+C, SIGTERM, SIGHUP): SIGTERM, up to 10 s
# of grace, then SIGKILL. A Firebird server that has served a client ignores SIGTERM.

services_sudo=""
[ "$(id -u)" -eq 0 ] || services_sudo="sudo"
services_scratch=$(mktemp -d)
services_pids=()   # single processes, stopped last to first
services_groups=() # process groups (a command and everything it starts)

port_in_use() { (exec 3<>"/dev/tcp/127.0.0.1/$1") 2>/dev/null; }
alive() { [ -d "/proc/$1" ] && ! grep -q '^State:.*Z' "/proc/$1/status" 2>/dev/null; }
group_alive() { pgrep -g "$1" >/dev/null 2>&1; }

# stop_process PID [group]: SIGTERM, up to 10 s, then SIGKILL.
stop_process() {
  local pid=$1 target=$1 check=alive
  if [ "${2:-}" = group ]; then target="-$1" check=group_alive; fi
  $check "$pid" || return 0
  $services_sudo kill -TERM -- "$target" 2>/dev/null || true
  for _ in $(seq 100); do $check "$pid" || break; sleep 0.1; done
  if $check "$pid"; then
    echo "services: $pid did not end within 10 s of SIGTERM; sending SIGKILL" >&2
    $services_sudo kill -KILL -- "$target" 2>/dev/null || true
    for _ in $(seq 50); do $check "$pid" || break; sleep 0.1; done
  fi
  wait "$pid" 2>/dev/null || true
}

stop_services() {
  local i
  for ((i = ${#services_groups[@]} - 1; i >= 0; i--)); do stop_process "${services_groups[i]}" group; done
  for ((i = ${#services_pids[@]} - 1; i >= 0; i--)); do stop_process "${services_pids[i]}"; done
  services_groups=() services_pids=()
  rm -rf "$services_scratch"
}
trap stop_services EXIT
# A signal ends the script through its EXIT trap, with the shell's usual status.
trap 'exit 129' HUP
trap 'exit 130' INT
trap 'exit 143' TERM

# run_group COMMAND...: runs the command in a process group of its own and waits for it,
# returning its status. The wait is interruptible, so a signal to this script stops the
# whole group (a test program and whatever it started) through the EXIT trap.
run_group() {
  setsid "$@" &
  local pid=$!
  services_groups+=("$pid")
  local status=0
  wait "$pid" || status=$?
  unset 'services_groups[-1]'
  stop_process "$pid" group # anything the command left behind in its group
  return "$status"
}

# The system's Firebird 3: its engine, and the security database a root of our own starts from.
firebird_system_root=/usr/lib/x86_64-linux-gnu/firebird/3.0
firebird_system_security=/var/lib/firebird/3.0/system/security3.fdb

# free_port NAME [TAKEN]: a loopback port nobody listens on (nor TAKEN), into the variable NAME.
free_port() {
  local candidate=$((20000 + RANDOM % 30000))
  while port_in_use "$candidate" || [ "$candidate" = "${2:-}" ]; do candidate=$((20000 + RANDOM % 30000)); done
  printf -v "$1" %s "$candidate"
}

# A Firebird server of our own on free loopback ports: a root of its own in the scratch folder
# (its firebird.conf, databases.conf and lock folder, a copy of the security database whose
# SYSDBA password is set here, links to the engine's files), so the machine's own server,
# settings and administrator password are never touched, and bound to 127.0.0.1 alone, the
# event channel too. Exports ZENOBRA_TEST_FB_SERVER (127.0.0.1/<port>),
# ZENOBRA_TEST_FB_PASSWORD and ZENOBRA_TEST_FB_AUX_PORT (the port of the events' channel).
start_firebird_server() {
  local root="$services_scratch/firebird" port aux password pidfile entry
  free_port port
  free_port aux "$port"

  mkdir -p "$root/lock"
  for entry in firebird.msg plugins.conf fbtrace.conf plugins lib UDF; do
    ln -s "$firebird_system_root/$entry" "$root/$entry"
  done
  # The character sets' module is found under the root ($(root)/intl/fbintl), and one that
  # resolves elsewhere through a link is refused: a copy.
  mkdir "$root/intl"
  cp "$firebird_system_root/intl/libfbintl.so" "$root/intl/"
  cat >"$root/firebird.conf" <<CONF
RemoteServicePort = $port
RemoteAuxPort = $aux
RemoteBindAddress = 127.0.0.1
# How long the server waits for a client's events channel on that port, which it holds
# meanwhile: a test that blocks the channel must not hold it for the next ones (180 s by default).
ConnectionTimeout = 2
SecurityDatabase = $root/security3.fdb
UdfAccess = None
CONF
  cat >"$root/databases.conf" <<CONF
security.db = $root/security3.fdb
{
	RemoteAccess = false
}
CONF
  # Read, never written: the copy gets the password.
  $services_sudo cp "$firebird_system_security" "$root/security3.fdb"

  password="zk$(od -An -N6 -tx1 /dev/urandom | tr -d ' \n')"
  if ! printf "create or alter user SYSDBA password '%s' using plugin Srp;\ncommit;\n" "$password" |
    $services_sudo env FIREBIRD="$root" FIREBIRD_LOCK="$root/lock" \
      isql-fb -q -user SYSDBA "$root/security3.fdb" >"$services_scratch/isql.log" 2>&1; then
    cat "$services_scratch/isql.log" >&2
    echo "the SYSDBA password could not be set on the test server's own security database" >&2
    return 1
  fi

  # The server's own process id, not sudo's: SIGKILL would not reach past sudo.
  pidfile="$services_scratch/firebird.pid"
  $services_sudo env FIREBIRD="$root" FIREBIRD_LOCK="$root/lock" \
    sh -c 'echo $$ >"$1"; exec /usr/sbin/firebird' sh "$pidfile" >"$services_scratch/firebird.log" 2>&1 &
  for _ in $(seq 50); do [ -s "$pidfile" ] && break; sleep 0.1; done
  services_pids+=("$(cat "$pidfile")")

  for _ in $(seq 100); do port_in_use "$port" && break; sleep 0.1; done
  if ! port_in_use "$port"; then
    echo "the Firebird server did not start:" >&2
    cat "$services_scratch/firebird.log" >&2
    return 1
  fi
  export ZENOBRA_TEST_FB_SERVER="127.0.0.1/$port"
  export ZENOBRA_TEST_FB_PASSWORD="$password"
  export ZENOBRA_TEST_FB_AUX_PORT="$aux"
}

# A bare X server (no window manager, as on a kiosk) with one 1280 x 800 screen, for the
# tests that need a real display. Exports ZENOBRA_TEST_DISPLAY (:<n>).
start_display() {
  local fifo="$services_scratch/displayfd" display
  mkfifo "$fifo"
  Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$fifo" >"$services_scratch/xvfb.log" 2>&1 &
  services_pids+=("$!")
  if ! read -r -t 20 display <"$fifo" || [ -z "$display" ]; then
    echo "the X server did not start:" >&2
    cat "$services_scratch/xvfb.log" >&2
    return 1
  fi
  export ZENOBRA_TEST_DISPLAY=":$display"
}
