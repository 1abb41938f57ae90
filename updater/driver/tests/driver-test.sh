#!/usr/bin/env bash
# The driver program against simulated controllers, as a user runs it through vdx-sim.
# Usage: driver-test.sh VDX_SIM VDX_DRIVER CASE
set -uo pipefail
sim=$1 driver=$2 case=$3
export ASAN_OPTIONS=verify_asan_link_order=0
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

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
  reenumeration-at-exit)
    # The failed update returns the controller to application mode and then waits 5 s before the
    # driver reports and exits; each delay below brings the controller back within a few tens of
    # milliseconds of that exit, so that one of them lands while the program ends its libusb
    # context. None may leave a leak or change the outcome.
    pids=() delays=(4950 4975 5000 5025 5050)
    for delay in "${delays[@]}"; do
      "$sim" --reenumeration-delay 200 --late-reenumeration "$delay:2" --stall DNLOAD:3 -- "$driver" update \
        >"$work/$delay.out" 2>&1 &
      pids+=($!)
    done
    failed=0
    for i in "${!delays[@]}"; do
      wait "${pids[$i]}"
      status=$?
      output=$(cat "$work/${delays[$i]}.out")
      expect_lines "$output" "The update failed (error -2)." || failed=1
      [ "$status" -eq 5 ] || { echo "back after ${delays[$i]} ms: exit status $status, expected 5"; echo "$output"; failed=1; }
    done
    [ "$failed" -eq 0 ] || exit 1
    ;;
  two-controllers)
    # One is updated; the probe afterwards finds it new and the other one as it was.
    output=$("$sim" --count 2 --reenumeration-delay 200 --manifestation-time 200 -- \
      bash -c '"$1" update && "$1" probe' - "$driver" 2>&1)
    status=$?
    expect_lines "$output" "Update verified." "Found 2 controllers." || exit 1
    probe=${output#*Update verified.}
    expect_lines "$probe" "release:        33 (0x0021)" "auxiliary image version: 0x67" || exit 1
    expect_lines "$probe" "release:        32 (0x0020)" "auxiliary image version: 0x66" || exit 1
    [ "$status" -eq 0 ] || { echo "exit status $status, expected 0"; exit 1; }
    ;;
  interrupted-by-INT|interrupted-by-TERM)
    # Interrupted during the write (vdx-sim signals the driver at the fifth download block), the
    # driver says where it left the controller; the next run finishes the update.
    signal=${case#interrupted-by-}
    output=$("$sim" --reenumeration-delay 200 --manifestation-time 200 --signal-at DNLOAD:5 --signal "$signal" \
      --runs 2 -- "$driver" update 2>&1)
    status=$?
    expect_lines "$output" "Writing both firmware images..." \
      "vdx-driver: interrupted; the controller was left in firmware-update mode. Run \`vdx-driver update\` to finish the update." \
      "Controller VDX2024000001: in firmware-update mode" \
      "Writing both firmware images..." \
      "Controller VDX2024000001: firmware 33 / 0x67" "Update verified." || exit 1
    [ "$(grep -c 'left in firmware-update mode' <<<"$output")" -eq 1 ] || { echo "not one line:"; echo "$output"; exit 1; }
    [ "$status" -eq 0 ] || { echo "exit status $status, expected 0"; exit 1; }
    ;;
  update-mode)
    output=$("$sim" --update-mode --reenumeration-delay 200 -- bash -c '"$1" probe && "$1" update' - "$driver" 2>&1)
    status=$?
    expect_lines "$output" "serial number:  VDX2024000001" \
      "in firmware-update mode (an update was interrupted): \`vdx-driver update\` finishes the update" \
      "Found 1 controller." \
      "Controller VDX2024000001: in firmware-update mode" \
      "Controller VDX2024000001: firmware 33 / 0x67" "Update verified." || exit 1
    case "$output" in *"Resetting the controller"*) echo "reset although in update mode"; echo "$output"; exit 1 ;; esac
    [ "$status" -eq 0 ] || { echo "exit status $status, expected 0"; exit 1; }
    ;;
  no-access|no-access-update-mode)
    # The controller (in either mode) is connected, but its device node refuses this user: the
    # driver says so in one line with its own status, and the node's path and the reason go to
    # standard error.
    mode=(); [ "$case" = no-access-update-mode ] && mode=(--update-mode)
    for command in update probe; do
      output=$("$sim" "${mode[@]}" --refuse-open -- "$driver" "$command" 2>&1)
      status=$?
      expect_lines "$output" "cannot open the USB device /dev/bus/usb/001/" ": Permission denied" \
        "A controller is connected, but this user may not open it: install the udev rule 60-vardolin-studio.rules" || exit 1
      case "$output" in *"No controller found"*|*"No Vardolin Studio controller found"*)
        echo "$command reports no controller"; echo "$output"; exit 1 ;; esac
      [ "$status" -eq 6 ] || { echo "$command: exit status $status, expected 6"; echo "$output"; exit 1; }
    done
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
