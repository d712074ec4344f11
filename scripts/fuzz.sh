#!/bin/sh
# Builds the fuzz targets with clang and libFuzzer (in build-fuzz/) and runs
# each for a while. Corpora and any finding go to build-fuzz/fuzz-runs/.
#   sh scripts/fuzz.sh            every target for 60 seconds
#   sh scripts/fuzz.sh 600        every target for ten minutes
#   sh scripts/fuzz.sh 60 fuzz_translator
set -e
cd "$(dirname "$0")/.."
SECONDS_EACH=${1:-60}
shift 2>/dev/null || true
TARGETS=${*:-"fuzz_translator fuzz_profile fuzz_scramble fuzz_datesnumbers"}

sh scripts/install-deps.sh
# clang and its libFuzzer runtime: only this build needs them.
missing=""
for p in clang libclang-rt-dev; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done
if [ -n "$missing" ]; then
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  $SUDO apt-get update
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y --no-install-recommends $missing
fi

cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKV_FUZZ=ON \
  -DCMAKE_CXX_COMPILER=clang++
cmake --build build-fuzz --parallel 4 --target $TARGETS

export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS="detect_leaks=0:abort_on_error=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
status=0
for t in $TARGETS; do
  out="build-fuzz/fuzz-runs/$t"
  mkdir -p "$out/corpus"
  echo "== $t: $SECONDS_EACH s"
  if ! "build-fuzz/tests/fuzz/$t" -max_total_time="$SECONDS_EACH" -max_len=4096 -timeout=10 \
       -artifact_prefix="$out/" "$out/corpus" > "$out/log.txt" 2>&1; then
    echo "   FINDING: see $out/log.txt and the crash-* file beside it"
    status=1
  fi
  tail -n 1 "$out/log.txt"
done
exit $status
