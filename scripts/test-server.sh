# Starts a Firebird server on loopback for the tests that connect through
# "host:path", makes the user they log in with, and stops it again.
# Sourced by scripts/test; sets VRKX_TEST_SERVER* for the tests.

FB_STARTED_PIDS=""
FB_TEST_DIR=""

fb_port_open() {
  (exec 3<>/dev/tcp/127.0.0.1/3050) 2>/dev/null
}

start_test_server() {
  local as_root=""
  [ "$(id -u)" -eq 0 ] || as_root="sudo"
  $as_root mkdir -p /run/firebird3.0
  $as_root chown firebird:firebird /run/firebird3.0
  if ! fb_port_open; then
    $as_root su firebird -s /bin/sh -c '/usr/sbin/fbguard -daemon -forever'
    for _ in $(seq 1 50); do
      fb_port_open && break
      sleep 0.2
    done
    FB_STARTED_PIDS="$(pgrep -x fbguard || true) $(pgrep -x firebird || true)"
  fi
  if ! fb_port_open; then
    echo "The Firebird server did not start on 127.0.0.1:3050" >&2
    return 1
  fi

  local sysdba_password="masterkey"
  if [ -r /etc/firebird/3.0/SYSDBA.password ]; then
    sysdba_password="$(. /etc/firebird/3.0/SYSDBA.password && echo "${ISC_PASSWORD:-masterkey}")"
  elif [ -f /etc/firebird/3.0/SYSDBA.password ]; then
    sysdba_password="$($as_root sh -c '. /etc/firebird/3.0/SYSDBA.password && echo "${ISC_PASSWORD:-masterkey}"')"
  fi

  FB_TEST_DIR="$(mktemp -d /tmp/vrkx-fbtest.XXXXXX)"
  $as_root chown firebird:firebird "$FB_TEST_DIR"
  local password
  password="t$(head -c 32 /dev/urandom | od -An -tx1 | tr -d ' \n' | head -c 7)"
  # CREATE USER works while connected as SYSDBA to any database over the server.
  isql-fb -q -u SYSDBA -p "$sysdba_password" >/dev/null <<SQL
SET SQL DIALECT 1;
CREATE DATABASE 'localhost:$FB_TEST_DIR/admin.fdb' DEFAULT CHARACTER SET WIN1251;
CREATE OR ALTER USER vrkx_test PASSWORD '$password';
GRANT CREATE DATABASE TO USER vrkx_test;
COMMIT;
SQL
  export VRKX_TEST_SERVER=localhost
  export VRKX_TEST_SERVER_USER=vrkx_test
  export VRKX_TEST_SERVER_PASSWORD="$password"
  export VRKX_TEST_SERVER_DIR="$FB_TEST_DIR"
  export VRKX_REQUIRE_SERVER=1
}

stop_test_server() {
  local as_root=""
  [ "$(id -u)" -eq 0 ] || as_root="sudo"
  if [ -n "${FB_STARTED_PIDS// /}" ]; then
    # The guard first, so that it does not restart the server.
    for pid in $FB_STARTED_PIDS; do
      $as_root kill "$pid" 2>/dev/null || true
    done
    for _ in $(seq 1 50); do
      local alive=""
      for pid in $FB_STARTED_PIDS; do
        kill -0 "$pid" 2>/dev/null && alive=1
      done
      [ -z "$alive" ] && break
      sleep 0.2
    done
  fi
  [ -n "$FB_TEST_DIR" ] && $as_root rm -rf "$FB_TEST_DIR"
  return 0
}
