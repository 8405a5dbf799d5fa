#!/usr/bin/env bash
# Builds the Debian package in build-deb/ twice, which must give the same
# bytes (file times are clamped to SOURCE_DATE_EPOCH, the time of the top
# entry of dist/debian/changelog unless set), has lintian check it (it must say nothing), and, as root, installs it with dpkg, checks what landed, that the
# installed program finds its modules and that man shows its pages, and
# removes it again. The machine is left as it was: the script refuses to
# install when rukasu2 is installed already.
# Usage: tools/check-deb.sh [--build-only]
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build="${top}/build-deb"
desktop=/usr/share/applications/org.example.Rukasu2.desktop
modules=(UNLHA32.DLL UNZIP32.DLL UNARJ32J.DLL ISH32.DLL CAB32.DLL TAR32.DLL UNRAR32.DLL BZ2LIB.DLL SEVENZIP32.DLL)

fail() { echo "check-deb: $*" >&2; exit 1; }

"${top}/tools/ensure-packages.sh" build run test package
# The compiler and linker flags Debian builds its packages with (hardening,
# source paths relative in the debug symbols). A folder configured with other
# flags is configured anew.
flag() { (cd "${top}" && DEB_BUILD_MAINT_OPTIONS=hardening=+all dpkg-buildflags --get "$1"); }
flags=(-DCMAKE_C_FLAGS="$(flag CFLAGS) $(flag CPPFLAGS)" -DCMAKE_CXX_FLAGS="$(flag CXXFLAGS) $(flag CPPFLAGS)"
  -DCMAKE_EXE_LINKER_FLAGS="$(flag LDFLAGS)" -DCMAKE_SHARED_LINKER_FLAGS="$(flag LDFLAGS)"
  -DCMAKE_MODULE_LINKER_FLAGS="$(flag LDFLAGS)")
if [[ "$(cat "${build}/rukasu2-flags" 2>/dev/null)" != "${flags[*]}" ]]; then
  rm -f "${build}/build.ninja" "${build}/CMakeCache.txt"
fi
# The prefix the package installs into, so that the folder compiled in is right too.
"${top}/tools/configure.sh" "${build}" program -DCMAKE_BUILD_TYPE=RelWithDebInfo -DRUKASU2_BUILD_TESTS=OFF \
  -DCMAKE_INSTALL_PREFIX=/usr -DCMAKE_INSTALL_LIBDIR=lib "${flags[@]}" >&2
echo "${flags[*]}" >"${build}/rukasu2-flags"
export SOURCE_DATE_EPOCH="${SOURCE_DATE_EPOCH:-$(dpkg-parsechangelog -l "${top}/dist/debian/changelog" -STimestamp)}"

# Unpacks a package, lets `change` work on its files, clamps their times to
# SOURCE_DATE_EPOCH (CPack gives them the time of the build) and packs it again.
repack() {
  local package=$1 change=$2 unpacked="${build}/repack-root"
  rm -rf "${unpacked}"
  dpkg-deb -R "${package}" "${unpacked}"
  "${change}" "${unpacked}"
  # Installed-Size as dpkg-gencontrol counts it: each file's KiB, one for anything else.
  local size
  size=$(find "${unpacked}" -mindepth 1 -path "${unpacked}/DEBIAN" -prune -o \( -type f -printf '%s\n' -o -printf '1024\n' \) |
    awk '{ kib += int(($1 + 1023) / 1024) } END { print kib }')
  sed -i "s/^Installed-Size: .*/Installed-Size: ${size}/" "${unpacked}/DEBIAN/control"
  find "${unpacked}" -newermt "@${SOURCE_DATE_EPOCH}" -exec touch -h -d "@${SOURCE_DATE_EPOCH}" {} +
  dpkg-deb --root-owner-group -Zxz --build "${unpacked}" "${package}" >&2
  rm -rf "${unpacked}"
}

# CPack (3.25) lists the debug symbols' files in md5sums by their paths in the
# build folder, keeps them executable, leaves their sections uncompressed
# (twice the size) and gives the package no documents: the package is made
# again from its files, with its documents folder pointing at rukasu2's, as
# Debian's debug packages have it.
debug_files() {
  find "$1/usr" -type f -exec chmod 0644 {} +
  find "$1/usr/lib/debug" -type f -name '*.debug' -exec objcopy --compress-debug-sections=zlib {} \;
  mkdir -p "$1/usr/share/doc"
  ln -s rukasu2 "$1/usr/share/doc/rukasu2-dbgsym"
  (cd "$1" && find usr -type f -exec md5sum {} + | sort -k 2 >DEBIAN/md5sums)
}
as_made() { :; }

build_packages() {
  rm -f "${build}"/rukasu2_*.deb "${build}"/rukasu2-dbgsym_*.ddeb
  (cd "${build}" && cpack -G DEB >&2)
  deb=$(ls "${build}"/rukasu2_*.deb)
  dbgsym=$(ls "${build}"/rukasu2-dbgsym_*.ddeb)
  repack "${deb}" as_made
  repack "${dbgsym}" debug_files
}

build_packages
first=$(sha256sum "${deb}" "${dbgsym}")
sleep 1  # a later build: other times for every file it installs
build_packages
[[ "$(sha256sum "${deb}" "${dbgsym}")" == "${first}" ]] || fail "two builds of one commit differ: ${first}"
echo "check-deb: built ${deb} and ${dbgsym}, twice with the same bytes"

# Depends: the libraries dpkg-shlibdeps found, and what no binary links.
depends=$(dpkg-deb --field "${deb}" Depends)
for need in libqt6core6 libqt6widgets6 libqt6dbus6 libarchive13 liblhasa0 libmspack0 qt6-qpa-plugins \
  'fonts-noto-cjk | fonts-japanese-gothic'; do
  [[ "${depends}" == *"${need}"* ]] || fail "Depends lacks ${need}: ${depends}"
done

# Every tag counts, informational ones aside. Lintian warns when it runs as
# root, so root lets another user run it.
lint=(lintian --fail-on error,warning "${deb}" "${dbgsym}")
if [[ $(id -u) -eq 0 ]]; then
  chmod a+r "${deb}" "${dbgsym}"
  lint=(setpriv --reuid=65534 --regid=65534 --clear-groups env HOME=/tmp "${lint[@]}")
fi
report=$("${lint[@]}" 2>&1) || fail "lintian refused the package: ${report}"
[[ -z "${report}" ]] || fail "lintian said: ${report}"
echo "check-deb: lintian has nothing to say"

[[ "${1:-}" == --build-only ]] && exit 0
[[ $(id -u) -eq 0 ]] || fail "installing needs root; ${deb} is built (--build-only skips the install)"
if dpkg-query -W -f='${Status}' rukasu2 2>/dev/null | grep -q 'ok installed'; then
  fail "rukasu2 is installed already; remove it first (apt remove rukasu2)"
fi

trap 'dpkg --purge rukasu2 >/dev/null 2>&1 || true' EXIT
dpkg -i "${deb}" >&2 || fail "dpkg -i failed"

for file in /usr/bin/rukasu2 "${desktop}" /usr/share/icons/hicolor/scalable/apps/rukasu2.svg \
  /usr/share/icons/hicolor/48x48/apps/rukasu2.png /usr/share/doc/rukasu2/guide/index.html \
  /usr/share/doc/rukasu2/copyright /usr/share/doc/rukasu2/changelog.gz \
  /usr/share/metainfo/org.example.Rukasu2.metainfo.xml /usr/share/kio/servicemenus/org.example.Rukasu2.extract.desktop \
  /usr/share/nautilus-python/extensions/rukasu2.py /usr/libexec/thunar-archive-plugin/org.example.Rukasu2.tap; do
  [[ -s "${file}" ]] || fail "${file} is missing"
done
# man finds both pages: the Japanese one by the language of the environment.
man -w rukasu2 | grep -qx /usr/share/man/man1/rukasu2.1.gz || fail "man rukasu2 finds no page"
LANGUAGE=ja man -w rukasu2 | grep -qx /usr/share/man/ja/man1/rukasu2.1.gz || fail "man finds no Japanese page"
man rukasu2 2>&1 | grep -q -- '--here' || fail "man rukasu2 shows no switches"
appstreamcli validate --no-net /usr/share/metainfo/org.example.Rukasu2.metainfo.xml >&2 ||
  fail "appstreamcli refused the metainfo"
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
for left in /usr/bin/rukasu2 /usr/lib/rukasu2 "${desktop}" /usr/share/doc/rukasu2 /usr/share/man/man1/rukasu2.1.gz; do
  [[ ! -e "${left}" ]] || fail "${left} is left after dpkg -r"
done
trap - EXIT
echo "check-deb: ${deb} installs and removes cleanly"
