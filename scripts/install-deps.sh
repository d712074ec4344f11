#!/bin/sh
# Installs the Debian packages the build, the tests and the program need
# (the file systems in user space are for the tests of files written on
# them). Safe to run again: it installs only what is missing.
set -e
PACKAGES="cmake ninja-build g++ pkg-config qt6-base-dev libqt6sql6-sqlite libqt6sql6-odbc \
unixodbc unixodbc-dev libsqliteodbc sqlite3 libsqlite3-dev xvfb xauth fonts-dejavu-core poppler-utils \
fuse3 fusefat bindfs dosfstools"

missing=""
for p in $PACKAGES; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done
[ -z "$missing" ] && exit 0

SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"
$SUDO apt-get update
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y --no-install-recommends $missing
