# One place that gives every target of the project the same warnings and,
# in the sanitizer configuration, the same sanitizers.

option(ORVELUNE_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer (no recovery)" OFF)
option(ORVELUNE_WERROR "Treat warnings as errors" OFF)
option(ORVELUNE_FUZZ "Build the fuzz targets with libFuzzer (clang only)" OFF)

function(orvelune_setup_target target)
  target_compile_features(${target} PUBLIC cxx_std_20)
  target_compile_options(${target} PRIVATE -Wall -Wextra)
  if(ORVELUNE_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
  if(ORVELUNE_FUZZ)
    target_compile_options(${target} PUBLIC -fsanitize=fuzzer-no-link)
  endif()
  if(ORVELUNE_SANITIZE)
    target_compile_options(${target} PUBLIC
      -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
    target_link_options(${target} PUBLIC -fsanitize=address,undefined -fno-sanitize-recover=all)
  endif()
endfunction()
