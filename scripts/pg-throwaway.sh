#!/bin/bash
# Starts a PostgreSQL cluster of our own on 127.0.0.1 in a temporary folder.
# Usage: source scripts/pg-throwaway.sh; pg_throwaway_start; ...; pg_throwaway_stop
# Sets PG_TEST_PORT and PG_TEST_DIR. The role "sa" is a superuser (trust auth).

pg_bin() { ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -1; }

pg_as_owner() {
  if [ "$(id -u)" -eq 0 ]; then runuser -u postgres -- "$@"; else "$@"; fi
}

pg_throwaway_start() {
  local bin; bin=$(pg_bin)
  [ -x "$bin/initdb" ] || { echo "PostgreSQL server binaries not found" >&2; return 1; }
  PG_TEST_DIR=$(mktemp -d /tmp/clservice-pg.XXXXXX)
  [ "$(id -u)" -eq 0 ] && chown postgres:postgres "$PG_TEST_DIR"
  PG_TEST_PORT=$(( 20000 + RANDOM % 20000 ))
  pg_as_owner "$bin/initdb" -D "$PG_TEST_DIR/data" -A trust -U postgres -E UTF8 --locale=C.UTF-8 >"$PG_TEST_DIR/initdb.log" 2>&1 \
    || { cat "$PG_TEST_DIR/initdb.log" >&2; return 1; }
  pg_as_owner "$bin/pg_ctl" -D "$PG_TEST_DIR/data" -l "$PG_TEST_DIR/server.log" -w -t 60 \
    -o "-p $PG_TEST_PORT -k $PG_TEST_DIR -c listen_addresses=127.0.0.1 -c fsync=off -c synchronous_commit=off -c full_page_writes=off" start >/dev/null \
    || { cat "$PG_TEST_DIR/server.log" >&2; return 1; }
  psql -h 127.0.0.1 -p "$PG_TEST_PORT" -U postgres -d postgres -qc "create role sa superuser login" >/dev/null
  export PG_TEST_PORT PG_TEST_DIR
}

pg_throwaway_stop() {
  [ -n "${PG_TEST_DIR:-}" ] || return 0
  pg_as_owner "$(pg_bin)/pg_ctl" -D "$PG_TEST_DIR/data" -m immediate stop >/dev/null 2>&1 || true
  rm -rf "$PG_TEST_DIR"
  PG_TEST_DIR=""
}
