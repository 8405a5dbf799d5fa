#!/usr/bin/env bash
# Builds the Debian package in build-deb/ and, as root, installs it with dpkg,
# checks what landed and that the installed program finds its modules, and
# removes it again. The machine is left as it was: the script refuses to
# install when rukasu2 is installed already.
# Usage: tools/check-deb.sh [--build-only]
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build="${top}/build-deb"
desktop=/usr/share/applications/org.example.Rukasu2.desktop
modules=(UNLHA32.DLL UNZIP32.DLL UNARJ32J.DLL ISH32.DLL CAB32.DLL TAR32.DLL UNRAR32.DLL BZ2LIB.DLL)

fail() { echo "check-deb: $*" >&2; exit 1; }

"${top}/tools/ensure-packages.sh" build run test package
# The prefix the package installs into, so that the folder compiled in is right too.
"${top}/tools/configure.sh" "${build}" program -DCMAKE_BUILD_TYPE=RelWithDebInfo -DRUKASU2_BUILD_TESTS=OFF \
  -DCMAKE_INSTALL_PREFIX=/usr -DCMAKE_INSTALL_LIBDIR=lib >&2
rm -f "${build}"/rukasu2_*.deb
(cd "${build}" && cpack -G DEB >&2)
deb=$(ls "${build}"/rukasu2_*.deb)
echo "check-deb: built ${deb}"

# Depends: the libraries dpkg-shlibdeps found, and what no binary links.
depends=$(dpkg-deb --field "${deb}" Depends)
for need in libqt6core6 libqt6widgets6 libarchive13 liblhasa0 libmspack0 qt6-qpa-plugins \
  'fonts-noto-cjk | fonts-ipafont'; do
  [[ "${depends}" == *"${need}"* ]] || fail "Depends lacks ${need}: ${depends}"
done

[[ "${1:-}" == --build-only ]] && exit 0
[[ $(id -u) -eq 0 ]] || fail "installing needs root; ${deb} is built (--build-only skips the install)"
if dpkg-query -W -f='${Status}' rukasu2 2>/dev/null | grep -q 'ok installed'; then
  fail "rukasu2 is installed already; remove it first (apt remove rukasu2)"
fi

trap 'dpkg --purge rukasu2 >/dev/null 2>&1 || true' EXIT
dpkg -i "${deb}" >&2 || fail "dpkg -i failed"

for file in /usr/bin/rukasu2 "${desktop}" /usr/share/icons/hicolor/scalable/apps/rukasu2.svg \
  /usr/share/icons/hicolor/48x48/apps/rukasu2.png /usr/share/doc/rukasu2/guide/index.html; do
  [[ -s "${file}" ]] || fail "${file} is missing"
done
for module in "${modules[@]}"; do
  path="/usr/lib/rukasu2/archivers/${module}"
  [[ -s "${path}" ]] || fail "${path} is missing"
  ! ldd "${path}" | grep -q 'not found' || fail "${module} needs a library that Depends does not bring"
done
! ldd /usr/bin/rukasu2 | grep -q 'not found' || fail "rukasu2 needs a library that Depends does not bring"
desktop-file-validate "${desktop}" || fail "desktop-file-validate refused ${desktop}"
version=$(env -u RUKASU2_SYSTEM_DIR /usr/bin/rukasu2 --version) || fail "rukasu2 --version failed"
for module in "${modules[@]}"; do
  grep -q "^${module} .*Ver\..* /usr/lib/rukasu2/archivers/${module}\$" <<<"${version}" ||
    fail "the installed program does not find ${module}: ${version}"
done
echo "${version}"

dpkg -r rukasu2 >&2 || fail "dpkg -r failed"
for left in /usr/bin/rukasu2 /usr/lib/rukasu2 "${desktop}" /usr/share/doc/rukasu2; do
  [[ ! -e "${left}" ]] || fail "${left} is left after dpkg -r"
done
trap - EXIT
echo "check-deb: ${deb} installs and removes cleanly"
