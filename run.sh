#!/usr/bin/env bash
# Builds Rukasu2 and starts it. Arguments are handed to the program (archive names, /U).
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
"${top}/tools/ensure-packages.sh" build run
"${top}/tools/configure.sh" "${top}/build" program -DCMAKE_BUILD_TYPE=RelWithDebInfo >&2
exec "${top}/build/rukasu2" "$@"
