#!/bin/sh
# Prints a text scrambled as the program keeps identities in its settings
# file: each Windows-1252 byte XORed with the program's 31-byte key, written
# as two upper-case hex digits. A text Windows-1252 cannot hold is scrambled
# as the UTF-8 byte-order mark followed by its UTF-8 bytes.
#   sh scripts/kvsys-encode.sh TEXT
set -e
KEY="169 126 49 113 50 87 51 101 52 82 53 116 54 89 55 117 56 73 57 111 48 80 49 97 50 83 51 100 52 126 174"
if printf '%s' "$1" | iconv -f UTF-8 -t WINDOWS-1252 > /dev/null 2>&1; then
  bytes=$(printf '%s' "$1" | iconv -f UTF-8 -t WINDOWS-1252 | od -An -v -tu1)
else
  bytes=$( { printf '\357\273\277'; printf '%s' "$1"; } | od -An -v -tu1)
fi
i=0
out=""
for b in $bytes; do
  k=$(echo $KEY | cut -d' ' -f$((i % 31 + 1)))
  out="$out$(printf '%02X' $((b ^ k)))"
  i=$((i + 1))
done
printf '%s\n' "$out"
