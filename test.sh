#!/usr/bin/env bash
# Builds Rukasu2 with its tests and runs every test through CTest.
# RUKASU2_SANITIZE=1 ./test.sh builds and runs with AddressSanitizer and UBSan.
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
export LANG=C.UTF-8
"${top}/tools/ensure-packages.sh" build run test
if [[ "${RUKASU2_SANITIZE:-0}" != 0 ]]; then
  build="${top}/build-asan"
  "${top}/tools/configure.sh" "${build}" all -DCMAKE_BUILD_TYPE=Debug -DRUKASU2_SANITIZE=ON
else
  build="${top}/build"
  "${top}/tools/configure.sh" "${build}" all -DCMAKE_BUILD_TYPE=RelWithDebInfo
fi
cd "${build}"
ctest --output-on-failure -j "$(nproc)" "$@"
