# Tests that talk to USB run against simulated controllers on an emulated bus: the test process
# itself must run under umockdev's preload, for discovery as well as for the run.
find_program(UMOCKDEV_WRAPPER umockdev-wrapper REQUIRED)
find_program(ENV_PROGRAM env REQUIRED)

# qv_usb_test(target) discovers the target's tests and runs each under umockdev-wrapper. The
# preload comes first in the link order, which AddressSanitizer refuses unless told not to check.
function(qv_usb_test target)
  set_property(TARGET ${target} PROPERTY CROSSCOMPILING_EMULATOR
               ${ENV_PROGRAM} ASAN_OPTIONS=verify_asan_link_order=0 ${UMOCKDEV_WRAPPER})
  gtest_discover_tests(${target} DISCOVERY_TIMEOUT 60 PROPERTIES TIMEOUT 120)
endfunction()

# qv_test(target) discovers and runs plain tests.
function(qv_test target)
  gtest_discover_tests(${target} DISCOVERY_TIMEOUT 60 PROPERTIES TIMEOUT 120)
endfunction()
