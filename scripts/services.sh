# Sourced by scripts/test and scripts/bench: the services a run needs (a Firebird 3 server
# on a free loopback port, a bare X server), and the end of everything the script started,
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

# Exports ZENOBRA_TEST_FB_SERVER (127.0.0.1/<port>) and ZENOBRA_TEST_FB_PASSWORD.
start_firebird_server() {
  local security=/var/lib/firebird/3.0/system/security3.fdb port password pidfile
  port=$((20000 + RANDOM % 30000))
  while port_in_use "$port"; do port=$((20000 + RANDOM % 30000)); done

  # A new machine has no SYSDBA password anyone knows: set one through the embedded engine
  # before the server opens its security database.
  password="zk$(od -An -N6 -tx1 /dev/urandom | tr -d ' \n')"
  if ! printf "create or alter user SYSDBA password '%s' using plugin Srp;\ncommit;\n" "$password" |
    $services_sudo isql-fb -q -user SYSDBA "$security" >"$services_scratch/isql.log" 2>&1; then
    cat "$services_scratch/isql.log" >&2
    echo "the SYSDBA password could not be set: is another Firebird server running (systemctl stop firebird3.0)?" >&2
    return 1
  fi

  # The server's own process id, not sudo's: SIGKILL would not reach past sudo.
  pidfile="$services_scratch/firebird.pid"
  $services_sudo sh -c 'echo $$ >"$1"; exec /usr/sbin/firebird -p "$2"' sh "$pidfile" "$port" \
    >"$services_scratch/firebird.log" 2>&1 &
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
