#!/bin/sh
# Sets up, builds and runs the tests headless.
#   scripts/test.sh             normal build in build/
#   scripts/test.sh --sanitize  AddressSanitizer + UndefinedBehaviorSanitizer in build-asan/
set -e
cd "$(dirname "$0")/.."
sh scripts/install-deps.sh

if [ "$1" = "--sanitize" ]; then
  BUILD=build-asan
  EXTRA="-DKV_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug"
  export ASAN_OPTIONS="detect_leaks=0:abort_on_error=1"
  export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
else
  BUILD=build
  EXTRA="-DCMAKE_BUILD_TYPE=RelWithDebInfo"
fi

cmake -S . -B "$BUILD" -G Ninja $EXTRA
# As many jobs as the machine has processors; CMAKE_BUILD_PARALLEL_LEVEL
# limits them.
cmake --build "$BUILD"
export QT_QPA_PLATFORM=offscreen
ctest --test-dir "$BUILD" --output-on-failure --parallel 2
