# The generator embeds a given file byte for byte, refuses one of the wrong size, and writes the
# same placeholder bytes on every run.
cmake_minimum_required(VERSION 3.25)

file(REMOVE_RECURSE "${WORK_DIR}")
file(MAKE_DIRECTORY "${WORK_DIR}")

# 18 bytes: a full line of 16 and a short one.
file(WRITE "${WORK_DIR}/image.bin" "ABCDEFGHIJKLMNOPQR")
execute_process(COMMAND ${GENERATOR} "${WORK_DIR}/out.cpp" Image 18 "${WORK_DIR}/image.bin" RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "the generator failed on an image of the right size")
endif()
file(READ "${WORK_DIR}/out.cpp" text)
string(FIND "${text}" "const uint8_t Image[18] = {
    0x41, 0x42, 0x43, 0x44, 0x45, 0x46, 0x47, 0x48, 0x49, 0x4a, 0x4b, 0x4c, 0x4d, 0x4e, 0x4f, 0x50,
    0x51, 0x52,
};" at)
if(at EQUAL -1)
  message(FATAL_ERROR "the image bytes are not embedded as given:\n${text}")
endif()

execute_process(COMMAND ${GENERATOR} "${WORK_DIR}/bad.cpp" Image 17 "${WORK_DIR}/image.bin"
                RESULT_VARIABLE rc ERROR_VARIABLE err)
if(rc EQUAL 0 OR NOT err MATCHES "holds 18 bytes, the image must have exactly 17")
  message(FATAL_ERROR "an image of the wrong size was not refused: ${rc} ${err}")
endif()

foreach(run 1 2)
  execute_process(COMMAND ${GENERATOR} "${WORK_DIR}/p${run}.cpp" A 1000 placeholder B 1000 placeholder
                  RESULT_VARIABLE rc)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "the generator failed on placeholders")
  endif()
endforeach()
file(READ "${WORK_DIR}/p1.cpp" p1)
file(READ "${WORK_DIR}/p2.cpp" p2)
if(NOT p1 STREQUAL p2)
  message(FATAL_ERROR "placeholders differ between runs")
endif()
string(REGEX MATCH "A\\[1000\\] = {[^}]*}" a "${p1}")
string(REGEX MATCH "B\\[1000\\] = {[^}]*}" b "${p1}")
string(REPLACE "A[1000]" "" a "${a}")
string(REPLACE "B[1000]" "" b "${b}")
if(a STREQUAL "" OR a STREQUAL b)
  message(FATAL_ERROR "two placeholder images have the same bytes")
endif()
