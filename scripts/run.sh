#!/bin/sh
# Sets up and starts the program on the demo database.
# First use: installs what is missing, builds, creates the demo database and
# its test copy, and writes the settings so the program connects without
# asking. Then starts kvsys with the arguments given (an operator id, then
# 1 for the test database); without arguments as the demo administrator
# (operator 1, "demo").
# KV_DRY_RUN=1 only prints the program's arguments, one per line.
set -e
cd "$(dirname "$0")/.."
ROOT=$(pwd)

[ $# -eq 0 ] && set -- 1
if [ -n "$KV_DRY_RUN" ]; then
  printf '%s\n' "$@"
  exit 0
fi
sh scripts/install-deps.sh

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build --target kvsys

DATA="${XDG_DATA_HOME:-$HOME/.local/share}/kvsys"
mkdir -p "$DATA"
if [ ! -f "$DATA/demo.db" ]; then
  rm -f "$DATA/demo.db.new"
  sqlite3 "$DATA/demo.db.new" < "$ROOT/db/schema.sql"
  sqlite3 "$DATA/demo.db.new" < "$ROOT/db/demo.sql"
  mv "$DATA/demo.db.new" "$DATA/demo.db"
  echo "Created the demo database $DATA/demo.db"
fi
if [ ! -f "$DATA/demo-test.db" ]; then
  cp "$DATA/demo.db" "$DATA/demo-test.db"
  echo "Created the test database $DATA/demo-test.db"
fi

CONF="${XDG_CONFIG_HOME:-$HOME/.config}/tarvalis"
INI="$CONF/kvsys.ini"
mkdir -p "$CONF"
if [ ! -f "$INI" ]; then
  enc() { sh "$ROOT/scripts/kvsys-encode.sh" "$1"; }
  {
    printf '[DBconnection]\r\nKVDSN=%s\r\nur=%s\r\npd=%s\r\n\r\n' "$DATA/demo.db" "$(enc sa)" "$(enc demo)"
    printf '[MainCfg]\r\nid1=%s\r\nid2=%s\r\nid3=%s\r\n\r\n' "$(enc "$DATA/demo.db")" "$(enc sa)" "$(enc demo)"
    printf '[TestCfg]\r\nid1=%s\r\nid2=%s\r\nid3=%s\r\n\r\n' "$(enc "$DATA/demo-test.db")" "$(enc sa)" "$(enc demo)"
    printf '[General]\r\nGetLog=1\r\n'
  } > "$INI.utf8"
  # Windows-1252 where the text fits (a path with letters beyond it keeps
  # the file UTF-8, marked as such).
  if ! iconv -f UTF-8 -t WINDOWS-1252 "$INI.utf8" > "$INI" 2>/dev/null; then
    { printf '\357\273\277'; cat "$INI.utf8"; } > "$INI"
  fi
  rm -f "$INI.utf8"
  echo "Wrote the settings $INI"
fi

if [ -z "$DISPLAY" ] && [ -z "$WAYLAND_DISPLAY" ]; then
  echo "No display: kvsys runs under a virtual X server (xvfb-run), where its window cannot be seen."
  echo "Press Ctrl+C to stop it."
  exec xvfb-run -a -s "-screen 0 1280x800x24" "$ROOT/build/kvsys" "$@"
fi
exec "$ROOT/build/kvsys" "$@"
