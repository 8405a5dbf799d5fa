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
# header; a file holding the source list, rewritten only when the list
# changes, makes it run again.
function(rk_autogen_tracks target)
  set(list_file ${CMAKE_CURRENT_BINARY_DIR}/${target}_sources.txt)
  string(REPLACE ";" "\n" content "${ARGN}")
  file(CONFIGURE OUTPUT ${list_file} CONTENT "${content}\n")
  set_property(TARGET ${target} APPEND PROPERTY AUTOGEN_TARGET_DEPENDS ${list_file})
endfunction()
