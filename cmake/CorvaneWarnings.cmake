# Compile options shared by every Corvane target, applied through one interface target.
add_library(corvane_options INTERFACE)
target_compile_options(corvane_options INTERFACE
  -Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wsign-conversion
  -Wnon-virtual-dtor -Wold-style-cast -Woverloaded-virtual -Wnull-dereference)
if(CORVANE_WERROR)
  target_compile_options(corvane_options INTERFACE -Werror)
endif()
if(CORVANE_SANITIZE)
  target_compile_options(corvane_options INTERFACE
    -fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
  target_link_options(corvane_options INTERFACE -fsanitize=address,undefined)
endif()
if(CORVANE_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    message(FATAL_ERROR "CORVANE_FUZZ needs clang: configure with CXX=clang++")
  endif()
  # Every target is instrumented for coverage; only the fuzz targets link libFuzzer's main.
  target_compile_options(corvane_options INTERFACE -fsanitize=fuzzer-no-link,address,undefined)
  target_link_options(corvane_options INTERFACE -fsanitize=address,undefined)
endif()
