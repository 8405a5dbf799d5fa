# Build helpers shared by every folder.

# rk_glob(VAR pattern...): source files under the project root; new files are
# picked up at the next build without editing CMake.
function(rk_glob var)
  set(patterns)
  foreach(p ${ARGN})
    list(APPEND patterns ${CMAKE_SOURCE_DIR}/${p})
  endforeach()
  file(GLOB files CONFIGURE_DEPENDS ${patterns})
  list(SORT files)
  set(${var} ${files} PARENT_SCOPE)
endfunction()

function(rk_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic)
  # GCC 12 at -O2/-O3 reports -Wrestrict on plain std::string concatenation
  # ("/" + std::string&&, GCC bug 105329); later releases do not.
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
    target_compile_options(${target} PRIVATE -Wno-restrict)
  endif()
  if(RUKASU2_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()

if(RUKASU2_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()

if(RUKASU2_FUZZ)
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()

# AUTOMOC does not notice on its own that a globbed folder gained a Q_OBJECT
# header in an existing build folder: when the target's source list changes,
# its autogen stamp is removed so that moc runs again.
function(rk_autogen_tracks target)
  set(list_file ${CMAKE_CURRENT_BINARY_DIR}/${target}_sources.txt)
  string(REPLACE ";" "\n" content "${ARGN}")
  set(previous "")
  if(EXISTS ${list_file})
    file(READ ${list_file} previous)
  endif()
  if(NOT previous STREQUAL "${content}\n")
    file(WRITE ${list_file} "${content}\n")
    file(REMOVE ${CMAKE_CURRENT_BINARY_DIR}/${target}_autogen/timestamp)
  endif()
endfunction()
