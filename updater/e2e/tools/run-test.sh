#!/usr/bin/env bash
# scripts/run off its main road: its help, a simulator option it cannot take, and the end of a
# walk without a display (the walk is what scripts/run runs then, on an X server of its own).
# Usage: run-test.sh SOURCE_TREE VDX_WIZARD_WALK CASE
set -uo pipefail
top=$1 walk=$2 case=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# A runtime folder of its own: the program's single-instance lock lies there, and walks of tests
# running in parallel must not find each other's.
mkdir -m 700 "$work/runtime"
export XDG_RUNTIME_DIR="$work/runtime"

# Runs the walk on an X server of its own; its output (both streams) in $work/out, status in $status.
run_walk() {
  "$top/scripts/with-own-x-server" "$walk" --output "$work/pages" "$@" >"$work/out" 2>&1
  status=$?
}

fail() {
  printf '%s\n--- output:\n' "$1"
  cat "$work/out"
  exit 1
}

case "$case" in
  help)
    # Alone, without the setup and build scripts beside it: help must not get as far as those.
    mkdir -p "$work/tree/scripts"
    cp "$top/scripts/run" "$work/tree/scripts/run"
    for arguments in "--help" "-h" "--stall DNLOAD --help" "--driver --help"; do
      # shellcheck disable=SC2086
      "$work/tree/scripts/run" $arguments >"$work/out" 2>&1
      status=$?
      [ "$status" -eq 0 ] || fail "scripts/run $arguments: exit status $status, expected 0"
      [ "$(head -n 1 "$work/out")" = "usage: scripts/run [--driver] [simulator options...]" ] ||
        fail "scripts/run $arguments: not its usage"
    done
    ;;
  wrong-option)
    # The simulator's message comes first and at once (the test's timeout is far below the
    # minute that the walk gives a window), with its status.
    for row in "--frobnicate|vdx-sim: unknown option --frobnicate" "--stall|vdx-sim: --stall needs a value"; do
      option=${row%%|*} message=${row#*|}
      run_walk "$option"
      [ "$status" -eq 2 ] || fail "$option: exit status $status, expected 2"
      [ "$(head -n 1 "$work/out")" = "$message" ] || fail "$option: the first line is not: $message"
      grep -q "did not appear" "$work/out" && fail "$option: the walk waited for a window"
    done
    ;;
  verified)
    # The plug-in road: no controller at first, the walk plugs it in and clicks RESCAN until it is
    # found, then the update.
    run_walk --plug-on-signal --reenumeration-delay 200 --manifestation-time 200
    [ "$(tail -n 1 "$work/out")" = "vdx-wizard-walk: the wizard ended on page 5 (update successful): update verified" ] ||
      fail "not a verified update"
    [ "$status" -eq 0 ] || fail "exit status $status, expected 0"
    pages=$(grep -o '[0-9][0-9]-[a-z-]*\.png$' "$work/out" | tr '\n' ' ')
    case "$pages" in
      "01-no-controller.png 02-update-available.png 03-updating.png 04-update-successful.png ") ;;
      *) fail "pages reached: $pages" ;;
    esac
    ;;
  failed)
    run_walk --stall DNLOAD --reenumeration-delay 200
    [ "$(tail -n 1 "$work/out")" = "vdx-wizard-walk: the wizard ended on page 6 (update failed), error -2" ] ||
      fail "not the failed update"
    [ "$status" -eq 5 ] || fail "exit status $status, expected 5"
    ;;
  refused)
    # A controller that this user may not open: page 0 says so, and the status is the driver's.
    run_walk --refuse-open
    [ "$(tail -n 1 "$work/out")" = "vdx-wizard-walk: the wizard ended on page 0 (no controller): the controller is connected, but this user may not open it" ] ||
      fail "not the refused controller"
    [ "$status" -eq 6 ] || fail "exit status $status, expected 6"
    ;;
  *) echo "unknown case $case"; exit 2 ;;
esac
echo "1 passed, 0 failed"
