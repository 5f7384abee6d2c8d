# Warnings and sanitizer flags travel on one INTERFACE target that every project
# target links privately, so third-party code is never built with them.
add_library(lumenfold_options INTERFACE)
add_library(lumenfold::options ALIAS lumenfold_options)

target_compile_options(lumenfold_options INTERFACE -Wall -Wextra -Wpedantic)

if(LUMENFOLD_SANITIZE AND LUMENFOLD_TSAN)
  message(FATAL_ERROR "ThreadSanitizer cannot be combined with AddressSanitizer")
endif()

if(LUMENFOLD_SANITIZE)
  target_compile_options(lumenfold_options INTERFACE
    -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  target_link_options(lumenfold_options INTERFACE -fsanitize=address,undefined)
endif()

if(LUMENFOLD_TSAN)
  target_compile_options(lumenfold_options INTERFACE -fsanitize=thread -fno-omit-frame-pointer)
  target_link_options(lumenfold_options INTERFACE -fsanitize=thread)
endif()

if(LUMENFOLD_FUZZ)
  target_compile_options(lumenfold_options INTERFACE
    -fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer)
  target_link_options(lumenfold_options INTERFACE -fsanitize=address,undefined)
endif()
