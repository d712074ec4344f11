#!/bin/sh
# Runs test programs, each with a temporary folder of its own, and fails
# when one leaves anything there: a test run leaves the temporary folder as
# it found it.
status=0
for program in "$@"; do
  folder=$(mktemp -d) || exit 1
  chmod 1777 "$folder"
  TMPDIR="$folder" "$program" > /dev/null 2>&1 || { echo "$program failed"; status=1; }
  left=$(ls -A "$folder")
  if [ -n "$left" ]; then
    echo "$program left in the temporary folder:" $left
    status=1
  fi
  rm -rf "$folder"
done
exit $status
