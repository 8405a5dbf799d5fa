#!/usr/bin/env bash
# Installs the Debian packages of the given groups (tools/packages.txt) that are
# missing. As root it runs apt-get; otherwise it prints the line to run and fails.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
missing=()
for group in "$@"; do
  while read -r g pkg; do
    [[ -z "${g}" || "${g}" == \#* || "${g}" != "${group}" ]] && continue
    if ! dpkg-query -W -f='${Status}' "${pkg}" 2>/dev/null | grep -q 'install ok installed'; then
      missing+=("${pkg}")
    fi
  done < "${here}/packages.txt"
done
[[ ${#missing[@]} -eq 0 ]] && exit 0
line="apt-get install -y --no-install-recommends ${missing[*]}"
if [[ $(id -u) -ne 0 ]]; then
  echo "Missing Debian packages. Run as root:" >&2
  echo "  apt-get update && ${line}" >&2
  exit 1
fi
echo "Installing: ${missing[*]}" >&2
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq --no-install-recommends "${missing[@]}"
