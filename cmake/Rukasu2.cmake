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
