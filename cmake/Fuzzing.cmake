# libFuzzer targets. Only clang has libFuzzer: QV_HAVE_LIBFUZZER tells whether this compiler builds
# them, and a library adds its fuzz folder only then. The GCC build skips them all.
include(CheckCXXSourceCompiles)

if(CMAKE_CXX_COMPILER_ID MATCHES "Clang")
  set(CMAKE_REQUIRED_FLAGS "-fsanitize=fuzzer")
  set(CMAKE_REQUIRED_LINK_OPTIONS "-fsanitize=fuzzer")
  check_cxx_source_compiles([[
#include <cstddef>
#include <cstdint>
extern "C" int LLVMFuzzerTestOneInput(const uint8_t*, size_t) { return 0; }
]] QV_HAVE_LIBFUZZER)
  unset(CMAKE_REQUIRED_FLAGS)
  unset(CMAKE_REQUIRED_LINK_OPTIONS)
endif()
if(NOT QV_HAVE_LIBFUZZER)
  message(STATUS "Fuzz targets: skipped (they need clang with libFuzzer, the compiler is ${CMAKE_CXX_COMPILER_ID})")
endif()

# qv_fuzz_instrument(<target>): the target's own sources compiled for fuzzing: libFuzzer's coverage,
# AddressSanitizer and UndefinedBehaviorSanitizer, whose first report ends the run. The code under
# test is compiled so once more, ahead of its library, whose own copies then go unused, so that
# libFuzzer sees its coverage.
function(qv_fuzz_instrument target)
  target_compile_options(${target} PRIVATE -fsanitize=fuzzer-no-link,address,undefined
                                           -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
  qv_warnings(${target})
endfunction()

# qv_fuzz_target(<target> <sources>... [INCLUDE <folders>...] [LINK <libraries>...]
#                [TEST <libFuzzer options>...])
# A fuzzer of its sources (instrumented as above) linked with libFuzzer's driver. With TEST, a test
# of the same name runs it with those options; a crash, a sanitizer report, a leak or a time-out
# fails it, and the input is kept in artifacts/ of the build folder.
function(qv_fuzz_target target)
  cmake_parse_arguments(PARSE_ARGV 1 arg "" "" "INCLUDE;LINK;TEST")
  add_executable(${target} ${arg_UNPARSED_ARGUMENTS})
  target_include_directories(${target} PRIVATE ${arg_INCLUDE})
  target_link_libraries(${target} PRIVATE ${arg_LINK})
  qv_fuzz_instrument(${target})
  target_link_options(${target} PRIVATE -fsanitize=fuzzer,address,undefined)
  if(QV_BUILD_TESTS AND arg_TEST)
    set(artifacts ${CMAKE_CURRENT_BINARY_DIR}/artifacts)
    file(MAKE_DIRECTORY ${artifacts})
    add_test(NAME ${target}
             COMMAND ${target} ${arg_TEST} -timeout=10 -rss_limit_mb=2048 -print_final_stats=1
                     -artifact_prefix=${artifacts}/${target}-)
    set_tests_properties(${target} PROPERTIES LABELS fuzz)
  endif()
endfunction()
