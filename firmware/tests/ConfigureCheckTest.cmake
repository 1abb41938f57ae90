# A given image file must hold exactly the image's size: each wrong case must stop the configure
# with a message that names the option and the sizes. Each case runs in its own cmake process,
# since a FATAL_ERROR ends the process that raises it.
cmake_minimum_required(VERSION 3.25)

if(DEFINED CASE_PATH)
  include(${CMAKE_CURRENT_LIST_DIR}/../cmake/FirmwareSource.cmake)
  qv_firmware_source(result "${CASE_PATH}" 16 QV_FIRMWARE_MAIN_IMAGE)
  message(STATUS "source=${result}")
  return()
endif()

file(REMOVE_RECURSE "${WORK_DIR}")
file(MAKE_DIRECTORY "${WORK_DIR}")
file(WRITE "${WORK_DIR}/exact.bin" "0123456789abcdef")
file(WRITE "${WORK_DIR}/short.bin" "0123456789abcde")
file(WRITE "${WORK_DIR}/long.bin" "0123456789abcdefg")

function(run_case path expect_ok expect_text)
  execute_process(COMMAND ${CMAKE_COMMAND} -DCASE_PATH=${path} -P ${CMAKE_CURRENT_LIST_FILE}
                  RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
  # CMake wraps long messages: compare with runs of white space as one blank.
  string(REGEX REPLACE "[ \t\r\n]+" " " all "${out}${err}")
  if(expect_ok AND NOT rc EQUAL 0)
    message(FATAL_ERROR "'${path}' was refused: ${all}")
  elseif(NOT expect_ok AND rc EQUAL 0)
    message(FATAL_ERROR "'${path}' was accepted: ${all}")
  endif()
  string(FIND "${all}" "${expect_text}" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "'${path}': expected '${expect_text}' in: ${all}")
  endif()
endfunction()

run_case("" TRUE "source=placeholder")
run_case("${WORK_DIR}/exact.bin" TRUE "source=${WORK_DIR}/exact.bin")
run_case("${WORK_DIR}/short.bin" FALSE "QV_FIRMWARE_MAIN_IMAGE: '${WORK_DIR}/short.bin' holds 15 bytes; the image must have exactly 16 bytes")
run_case("${WORK_DIR}/long.bin" FALSE "holds 17 bytes; the image must have exactly 16 bytes")
run_case("${WORK_DIR}/missing.bin" FALSE "QV_FIRMWARE_MAIN_IMAGE: '${WORK_DIR}/missing.bin' is not a file")
run_case("${WORK_DIR}" FALSE "is not a file")
