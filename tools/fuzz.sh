#!/usr/bin/env bash
# Builds every libFuzzer target of tests/fuzz with clang in build-fuzz/ and runs
# each for SECONDS (default 60) on a corpus seeded from the matching folder of
# tests/data. Prints one summary line per target; exits non-zero when a
# target found a crash, a leak or a timeout (the input is kept in
# build-fuzz/fuzz-artifacts/<module>/, the log in build-fuzz/fuzz-logs/).
# Usage: tools/fuzz.sh [SECONDS]     JOBS=n limits the build, FUZZ_MAX_LEN the input size.
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
seconds=${1:-60}
if [[ ! "${seconds}" =~ ^[0-9]+$ ]]; then
  echo "usage: tools/fuzz.sh [SECONDS]" >&2
  exit 2
fi
max_len=${FUZZ_MAX_LEN:-131072}

"${top}/tools/ensure-packages.sh" build fuzz
build="${top}/build-fuzz"
if [[ ! -f "${build}/build.ninja" ]]; then
  CC=clang-14 CXX=clang++-14 cmake -S "${top}" -B "${build}" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DRUKASU2_FUZZ=ON -DRUKASU2_BUILD_TESTS=OFF >&2
fi

targets=()
for source in "${top}"/tests/fuzz/*_fuzz.cpp; do
  [[ -e "${source}" ]] && targets+=("$(basename "${source}" .cpp)")
done
if [[ ${#targets[@]} -eq 0 ]]; then
  echo "no fuzz targets in tests/fuzz"
  exit 0
fi
cmake --build "${build}" -j "${JOBS:-$(nproc)}" --target "${targets[@]}" >&2

# The sample folder that holds a module's archives.
sample_folder() {
  case "$1" in
    unlha32) echo lzh ;;
    unzip32) echo zip ;;
    unarj32j) echo arj ;;
    ish32) echo ish ;;
    cab32) echo cab ;;
    tar32 | bz2lib) echo tar ;;
    unrar32) echo rar ;;
    *) echo "$1" ;;
  esac
}

# Copies the samples of a folder, and the self-extracting, damaged and hostile
# samples named after it, into the corpus (names flattened so none collide).
seed_corpus() {
  local folder=$1 corpus=$2 testdata="${top}/tests/data"
  [[ -d "${testdata}" ]] || return 0
  {
    [[ -d "${testdata}/${folder}" ]] && find "${testdata}/${folder}" -type f -size -2M
    find "${testdata}/sfx" "${testdata}/damaged" "${testdata}/hostile" -type f -name "${folder}_*" 2>/dev/null
  } | while read -r sample; do
    local relative=${sample#"${testdata}/"}
    cp -n "${sample}" "${corpus}/seed_${relative//\//_}"
  done
}

failed=0
printf '%-16s %-8s %12s %8s  %s\n' target result runs corpus notes
for target in "${targets[@]}"; do
  module=${target%_fuzz}
  corpus="${build}/fuzz-corpus/${module}"
  artifacts="${build}/fuzz-artifacts/${module}/"
  log="${build}/fuzz-logs/${module}.log"
  scratch="${build}/fuzz-tmp/${module}"
  rm -rf "${scratch}"
  mkdir -p "${corpus}" "${artifacts}" "$(dirname "${log}")" "${scratch}"
  seed_corpus "$(sample_folder "${module}")" "${corpus}"
  executable=$(find "${build}" -maxdepth 3 -type f -name "${target}" -perm -u+x | head -n 1)

  status=0
  TMPDIR="${scratch}" "${executable}" -max_total_time="${seconds}" -timeout=30 -rss_limit_mb=2048 \
    -max_len="${max_len}" -artifact_prefix="${artifacts}" -print_final_stats=1 "${corpus}" >"${log}" 2>&1 ||
    status=$?
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "${log}" | tail -n 1)
  count=$(find "${corpus}" -type f | wc -l)
  if [[ ${status} -eq 0 ]]; then
    printf '%-16s %-8s %12s %8s\n' "${target}" ok "${runs:-?}" "${count}"
  else
    failed=1
    artifact=$(sed -n 's/.*Test unit written to \(.*\)$/\1/p' "${log}" | tail -n 1)
    printf '%-16s %-8s %12s %8s  exit %s; input %s; log %s\n' "${target}" FAILED "${runs:-?}" "${count}" \
      "${status}" "${artifact:-none}" "${log}"
  fi
  rm -rf "${scratch}"
done
exit "${failed}"
