# Instrumented builds, each in a build directory of its own:
#   -DTUNNELWICK_SANITIZE=address   (or undefined, or thread) for the unit tests,
#   -DTUNNELWICK_FUZZ=ON with clang for the libFuzzer targets.
set(TUNNELWICK_SANITIZE "" CACHE STRING
    "Build everything with these sanitizers (address, undefined, or both comma-separated)")
option(TUNNELWICK_FUZZ "Build the libFuzzer targets in tests/fuzz (needs clang)" OFF)

if(TUNNELWICK_SANITIZE)
  # Stop at the first report, so that a test with undefined behaviour fails
  # instead of printing a line nobody reads.
  add_compile_options(-fsanitize=${TUNNELWICK_SANITIZE} -fno-omit-frame-pointer
                      -fno-sanitize-recover=all)
  add_link_options(-fsanitize=${TUNNELWICK_SANITIZE})
endif()

if(TUNNELWICK_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    message(FATAL_ERROR "The fuzz targets need clang: configure with "
                        "-DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++")
  endif()
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer
                      -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()
