#!/usr/bin/env bash
# Builds the module, its host and their tests with AddressSanitizer and LeakSanitizer in
# build/asan and runs the module's tests there (the hundred show-and-free cycles among them).
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build/asan -DCMAKE_BUILD_TYPE=Debug -DJOINTRIX_BUILD_BENCH=OFF \
  -DCMAKE_CXX_FLAGS="-fsanitize=address -fno-omit-frame-pointer" \
  -DCMAKE_EXE_LINKER_FLAGS=-fsanitize=address \
  -DCMAKE_SHARED_LINKER_FLAGS=-fsanitize=address >/dev/null
cmake --build build/asan -j2 --target tst_module tst_host jointrix-host
cd build/asan
ctest --output-on-failure -R '^tst_(module|host)$'
