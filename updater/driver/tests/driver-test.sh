#!/usr/bin/env bash
# The driver program against simulated controllers, as a user runs it through vdx-sim.
# Usage: driver-test.sh VDX_SIM VDX_DRIVER CASE
set -uo pipefail
sim=$1 driver=$2 case=$3
export ASAN_OPTIONS=verify_asan_link_order=0

expect_lines() {  # output, then the lines it must contain in order
  local output=$1; shift
  local rest=$output
  for line in "$@"; do
    case "$rest" in
      *"$line"*) rest=${rest#*"$line"} ;;
      *) printf 'missing line: %s\n--- output:\n%s\n' "$line" "$output"; return 1 ;;
    esac
  done
}

case "$case" in
  update)
    output=$("$sim" --reenumeration-delay 200 --manifestation-time 200 -- "$driver" update 2>&1)
    status=$?
    expect_lines "$output" \
      "Controller VDX2024000001: firmware 32 / 0x66" "update needed" \
      "Resetting the controller into firmware-update mode..." \
      "Writing both firmware images..." \
      "Verifying..." \
      "Controller VDX2024000001: firmware 33 / 0x67" \
      "Update verified." || exit 1
    [ "$status" -eq 0 ] || { echo "exit status $status, expected 0"; exit 1; }
    ;;
  up-to-date)
    output=$("$sim" --main-version 33 --aux-version 0x67 -- "$driver" update 2>&1)
    status=$?
    expect_lines "$output" "firmware 33 / 0x67" "Nothing to do" || exit 1
    [ "$status" -eq 3 ] || { echo "exit status $status, expected 3"; exit 1; }
    ;;
  failed-write)
    output=$("$sim" --reenumeration-delay 200 --stall DNLOAD:3 -- "$driver" update 2>&1)
    status=$?
    expect_lines "$output" "Writing both firmware images..." "The update failed (error -2)." || exit 1
    [ "$status" -eq 5 ] || { echo "exit status $status, expected 5"; exit 1; }
    ;;
  probe)
    output=$("$sim" --count 2 -- "$driver" probe 2>&1)
    status=$?
    # libusb lists the controllers in no fixed order.
    expect_lines "$output" "serial number:  VDX2024000001" || exit 1
    expect_lines "$output" "serial number:  VDX2024000002" || exit 1
    expect_lines "$output" "auxiliary image version: 0x66" "auxiliary image version: 0x66" \
      "Found 2 controllers." || exit 1
    [ "$status" -eq 0 ] || { echo "exit status $status, expected 0"; exit 1; }
    ;;
  probe-none)
    output=$(umockdev-wrapper "$driver" probe 2>&1)
    status=$?
    expect_lines "$output" "No Vardolin Studio controller found." || exit 1
    [ "$status" -eq 1 ] || { echo "exit status $status, expected 1"; exit 1; }
    ;;
  *) echo "unknown case $case"; exit 2 ;;
esac
echo "1 passed, 0 failed"
