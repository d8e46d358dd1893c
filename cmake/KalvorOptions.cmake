# One interface target carries the language level, warnings and safety defines for every Kalvor target.
add_library(kalvor_options INTERFACE)
target_compile_features(kalvor_options INTERFACE cxx_std_20)
target_compile_options(kalvor_options INTERFACE
  -Wall -Wextra -Wold-style-cast -Wnon-virtual-dtor -Woverloaded-virtual)
target_compile_definitions(kalvor_options INTERFACE
  QT_NO_CAST_FROM_ASCII QT_NO_CONTEXTLESS_CONNECT QT_NO_KEYWORDS)
if(KALVOR_WERROR OR DEFINED ENV{CI})
  target_compile_options(kalvor_options INTERFACE -Werror)
endif()
if(KALVOR_SANITIZE)
  target_compile_options(kalvor_options INTERFACE -fsanitize=address,undefined -fno-omit-frame-pointer
    -fno-sanitize-recover=undefined)
  target_link_options(kalvor_options INTERFACE -fsanitize=address,undefined)
endif()
target_include_directories(kalvor_options INTERFACE ${CMAKE_SOURCE_DIR}/src ${CMAKE_BINARY_DIR}/generated)
