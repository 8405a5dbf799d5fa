#!/usr/bin/env bash
# Configures (once) and builds one build folder; shared by run.sh and test.sh.
# Usage: tools/configure.sh BUILD_DIR TARGET [cmake -D options...]   (TARGET "all" builds everything)
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=$1 target=$2; shift 2
if [[ ! -f "${build}/build.ninja" ]]; then
  # ccache, where a developer installed it, shares objects between build folders and clones.
  launcher=()
  if command -v ccache >/dev/null; then
    launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
  fi
  cmake -S "${top}" -B "${build}" -G Ninja "${launcher[@]}" "$@"
fi
cmake --build "${build}" --target "${target}" -j "$(nproc)"
