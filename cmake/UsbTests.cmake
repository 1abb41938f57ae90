# Tests that talk to USB run against simulated controllers on an emulated bus: the test process
# itself must run under umockdev's preload, for discovery as well as for the run.
find_program(UMOCKDEV_WRAPPER umockdev-wrapper REQUIRED)

# qv_usb_test(target) discovers the target's tests and runs each under umockdev-wrapper.
function(qv_usb_test target)
  set_property(TARGET ${target} PROPERTY CROSSCOMPILING_EMULATOR ${UMOCKDEV_WRAPPER})
  gtest_discover_tests(${target}
    DISCOVERY_TIMEOUT 60
    PROPERTIES
      ENVIRONMENT "ASAN_OPTIONS=verify_asan_link_order=0:detect_leaks=1"
      TIMEOUT 120)
endfunction()

# qv_test(target) discovers and runs plain tests.
function(qv_test target)
  gtest_discover_tests(${target} DISCOVERY_TIMEOUT 60 PROPERTIES TIMEOUT 120)
endfunction()
