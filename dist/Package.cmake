# The Debian package made by `cpack -G DEB` in a build folder: everything that
# `cmake --install` puts under /usr, with the copyright, changelog, doc-base and
# lintian files of dist/debian. The libraries' packages come from
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
  "and a list of the extracted folders. It reads LZH, ZIP, ARJ, CAB, RAR, 7z,\n"
  "ISH and the TAR family (gzip, compress, bzip2, xz, zstd, lzip, lzma), with\n"
  "Japanese (Shift_JIS) names.")
string(JOIN "" CPACK_PACKAGE_DESCRIPTION ${CPACK_PACKAGE_DESCRIPTION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
# The debug symbols go to a package of their own, rukasu2-dbgsym (.ddeb), by
# build id, as Debian's packages keep them; CPack strips the binaries of the
# package itself once it has taken them out (stripping at install would leave
# it nothing to take).
set(CPACK_DEBIAN_DEBUGINFO_PACKAGE ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://example.org/rukasu2")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Any Japanese gothic font serves; Noto, the desktop's own, comes when there is none.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, qt6-translations-l10n, fonts-noto-cjk | fonts-japanese-gothic")
# On a Wayland desktop the windows are drawn by Qt's Wayland platform; without
# it they still show through XWayland.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-wayland")
# Files (Nautilus) loads the extension with the actions on archives only through it.
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "python3-nautilus")

# Debian's own documents of the package. Made here, the package is a native
# one (no Debian revision): its changelog is changelog.gz, packed without name
# or time stamp so that the same changelog makes the same file.
set(RUKASU2_DEBIAN_DIR ${CMAKE_CURRENT_LIST_DIR}/debian)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${RUKASU2_DEBIAN_DIR}/changelog)
file(STRINGS ${RUKASU2_DEBIAN_DIR}/changelog RUKASU2_CHANGELOG_HEAD LIMIT_COUNT 1)
if(NOT RUKASU2_CHANGELOG_HEAD MATCHES "^rukasu2 \\(${PROJECT_VERSION}\\) ")
  message(FATAL_ERROR "dist/debian/changelog has no entry for version ${PROJECT_VERSION} at its top")
endif()
file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/debian)
execute_process(COMMAND gzip -9nc ${RUKASU2_DEBIAN_DIR}/changelog
  OUTPUT_FILE ${CMAKE_BINARY_DIR}/debian/changelog.gz COMMAND_ERROR_IS_FATAL ANY)
install(FILES ${CMAKE_BINARY_DIR}/debian/changelog.gz ${RUKASU2_DEBIAN_DIR}/copyright
  DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/rukasu2)
install(FILES ${RUKASU2_DEBIAN_DIR}/lintian-overrides
  DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides RENAME rukasu2)
# The guide registered with doc-base, for the documentation browsers.
set(GUIDE_DIR ${CMAKE_INSTALL_FULL_DATADIR}/doc/rukasu2/guide)
configure_file(${RUKASU2_DEBIAN_DIR}/rukasu2-guide.doc-base ${CMAKE_BINARY_DIR}/debian/rukasu2-guide @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/debian/rukasu2-guide DESTINATION ${CMAKE_INSTALL_DATADIR}/doc-base)

include(CPack)
