# Checks that building the program's target alone lays out its whole bundle: every file the bundle
# must hold (Info.plist, the udev rule, the interface font, the skin, a catalogue per translation)
# and every file a full build put into Contents/Resources is either written when the build is
# configured or made by a step in the program target's dependency closure, read from the build
# graph (`ninja -t graph`) rather than by building a second tree.
#
# cmake -DNINJA=... -DBUILD_DIR=... -DBUNDLE_DIR=... -DTARGET=... -DTRANSLATIONS_DIR=... -P <this file>
cmake_minimum_required(VERSION 3.25)
foreach(variable NINJA BUILD_DIR BUNDLE_DIR TARGET TRANSLATIONS_DIR)
  if(NOT DEFINED ${variable})
    message(FATAL_ERROR "${variable} is not set")
  endif()
endforeach()

# Written when the build is configured: present in every configured tree.
set(configured Contents/Info.plist Contents/Resources/60-vardolin-studio.rules)
set(required ${configured} Contents/Resources/TTFd/1.ttf
             Contents/Resources/skin/stylesheets/FirmwareUpdaterStyles.txt
             Contents/Resources/skin/fonts/DejaVuSans-Bold.ttf)
file(GLOB translations "${TRANSLATIONS_DIR}/*.po")
if(NOT translations)
  message(FATAL_ERROR "no translations in ${TRANSLATIONS_DIR}")
endif()
foreach(po IN LISTS translations)
  get_filename_component(code "${po}" NAME_WE)
  list(APPEND required "Contents/Resources/${code}.lproj/lib.mo")
endforeach()
file(GLOB_RECURSE present RELATIVE "${BUNDLE_DIR}" "${BUNDLE_DIR}/Contents/Resources/*")
list(FILTER present EXCLUDE REGEX "^Contents/MacOS/")
set(expected ${required} ${present})
list(REMOVE_DUPLICATES expected)

execute_process(COMMAND "${NINJA}" -C "${BUILD_DIR}" -t graph "${TARGET}" OUTPUT_VARIABLE graph RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "ninja -t graph ${TARGET} failed (${result})")
endif()
file(RELATIVE_PATH bundle_in_build "${BUILD_DIR}" "${BUNDLE_DIR}")

set(missing)
foreach(file IN LISTS expected)
  if(file IN_LIST configured)
    if(NOT EXISTS "${BUNDLE_DIR}/${file}")
      list(APPEND missing "${file} (not written by the configuration)")
    endif()
    continue()
  endif()
  string(FIND "${graph}" "[label=\"${bundle_in_build}/${file}\"]" at)
  if(at EQUAL -1)
    list(APPEND missing "${file}")
  endif()
endforeach()
if(missing)
  list(JOIN missing "\n  " lines)
  message(FATAL_ERROR "Building ${TARGET} alone leaves out of its bundle:\n  ${lines}")
endif()
list(LENGTH expected count)
message(STATUS "${TARGET} builds all ${count} files of its bundle")
