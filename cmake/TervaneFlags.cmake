# One interface target carries the flags every Tervane target is built with.
add_library(tervane_flags INTERFACE)
add_library(Tervane::flags ALIAS tervane_flags)
target_compile_options(tervane_flags INTERFACE
  -Wall -Wextra -Wpedantic
  # Results must not depend on the compiler fusing multiplies and adds.
  -ffp-contract=off)
if(TERVANE_WERROR)
  target_compile_options(tervane_flags INTERFACE -Werror)
endif()
if(TERVANE_SANITIZE)
  target_compile_options(tervane_flags INTERFACE -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  target_link_options(tervane_flags INTERFACE -fsanitize=address,undefined)
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
    # GCC's flow analysis sees the instrumented code and warns on std::regex internals that are
    # initialized; the uninstrumented builds keep the warning.
    target_compile_options(tervane_flags INTERFACE -Wno-maybe-uninitialized)
  endif()
endif()
if(TERVANE_TSAN)
  if(TERVANE_SANITIZE)
    message(FATAL_ERROR "ThreadSanitizer cannot be combined with AddressSanitizer: choose one")
  endif()
  target_compile_options(tervane_flags INTERFACE -fsanitize=thread -fno-omit-frame-pointer)
  target_link_options(tervane_flags INTERFACE -fsanitize=thread)
endif()
if(TERVANE_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    message(FATAL_ERROR "TERVANE_FUZZ needs clang's libFuzzer: configure with CC=clang CXX=clang++")
  endif()
  # Coverage feedback for the fuzzers in every library; only the fuzz targets link libFuzzer itself.
  target_compile_options(tervane_flags INTERFACE -fsanitize=fuzzer-no-link,address,undefined
                                                 -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  target_link_options(tervane_flags INTERFACE -fsanitize=address,undefined)
endif()
target_include_directories(tervane_flags INTERFACE ${PROJECT_SOURCE_DIR})
