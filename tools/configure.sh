#!/usr/bin/env bash
# Configures (once) and builds one build folder; shared by run.sh and test.sh.
# Usage: tools/configure.sh BUILD_DIR TARGET [cmake -D options...]   (TARGET "all" builds everything)
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=$1 target=$2; shift 2
if [[ ! -f "${build}/build.ninja" ]]; then
  cmake -S "${top}" -B "${build}" -G Ninja "$@"
fi
cmake --build "${build}" --target "${target}" -j "$(nproc)"
