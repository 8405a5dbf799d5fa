# The Debian package made by `cpack -G DEB` in a build folder: everything that
# `cmake --install` puts under /usr. The libraries' packages come from
# dpkg-shlibdeps; the platform plugin and a Japanese font are named here, since
# no binary links them.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME rukasu2)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Rukasu2 Project")
set(CPACK_PACKAGE_CONTACT "Rukasu2 Project <rukasu2@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "extracts many archive files in one run")
set(CPACK_PACKAGE_DESCRIPTION
  "Rukasu2 gathers archives from any number of folders into a target list and\n"
  "extracts every one of them into a folder named after it, with a result log\n"
  "and a list of the extracted folders. It reads LZH, ZIP, ARJ, CAB, RAR, ISH\n"
  "and the TAR family (gzip, compress, bzip2), with Japanese (Shift_JIS) names.")
string(JOIN "" CPACK_PACKAGE_DESCRIPTION ${CPACK_PACKAGE_DESCRIPTION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://example.org/rukasu2")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, fonts-noto-cjk | fonts-ipafont")
# Files (Nautilus) loads the extension with the actions on archives only through it.
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "python3-nautilus")

include(CPack)
