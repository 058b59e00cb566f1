#!/usr/bin/env bash
# Checks that every folder includes only the layers below it, installs what
# is missing, builds, and runs every test: unit, end-to-end and
# GUI (under xvfb-run), then the unit and end-to-end tests again under
# AddressSanitizer and UndefinedBehaviorSanitizer, then the fuzz targets briefly.
set -euo pipefail
cd "$(dirname "$0")"
scripts/check-layers.sh
scripts/install-deps.sh
jobs=$(nproc)

cmake -S . -B build -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build -j"$jobs"
(cd build && ctest --output-on-failure -j"$jobs" -LE gui)
(cd build && xvfb-run -a -s "-screen 0 1280x1024x24" ctest --output-on-failure -L gui)

cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DVELK_SANITIZE=ON -DVELK_GUI=OFF >/dev/null
cmake --build build-asan -j"$jobs"
(cd build-asan && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --output-on-failure -j"$jobs" -LE gui)

if [ -f tests/fuzz/CMakeLists.txt ]; then
  CXX=clang++ cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELK_FUZZ=ON \
    -DVELK_GUI=OFF >/dev/null
  cmake --build build-fuzz -j"$jobs" --target fuzz_all
  tests/fuzz/run_all.sh build-fuzz 30
fi
echo "test.sh: all tests passed"
