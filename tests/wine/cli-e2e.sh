#!/usr/bin/env bash
# tobrane-cli.exe under Wine against tobrane-upssim, run inside
# sim-com-port.sh (TOBRANE_COM, TOBRANE_SIM_WORK, WINE_RUN):
#   cli-e2e.sh CLI_EXE MAKEROM MODEL_FILE CASE
# transfer: connect, program with verify, verify, from a folder and of a
#           file whose names have blanks and non-ASCII letters;
# flash:    (after the simulator stopped) its flash holds the image;
# nack:     every program block refused: status 1 and the NACK message;
# unplug:   the simulator hangs up mid-transfer: status 1, the lost device named;
# refused:   --version; a bad option (status 2 and the hint); a port that
#            does not exist, one above COM255 and a file (status 3 each, with
#            its own advice); NUL, which opens but takes no line settings
#            (status 3 within 5 s, the device and the setting named);
# interrupt: Ctrl+C (Wine turns SIGINT into the console's Ctrl+C) while a
#            block waits for its reply: status 130 and the interrupted message;
# ended:     (after the simulator stopped) the last request it saw ended the
#            flash operation, and it was never reset;
# settings:  on COM7, a registry Port of 7 entered as a number (REG_DWORD)
#            opens it; before that, a Device of the wrong type is named
#            before the port error it leads to;
# odd-speed: a UPS that offers 28800 baud, which Wine runs at 38400 on a pty:
#            the switch is reported as failed, not as established.
set -uo pipefail
cli=$1 makerom=$2 models=$3 case=$4
folder="$TOBRANE_SIM_WORK/Prüf Ordner é"
image="Bild 1 ä.rom"

fail() {
  echo "cli-e2e.sh $case: $*" >&2
  exit 1
}

# run EXPECTED_STATUS ARGS...: tobrane-cli.exe in the folder on the rig's
# port (unless ARGS name another); its output in $out.
run() {
  local expected=$1
  shift
  [[ " $* " == *" --device "* ]] || set -- --device "$TOBRANE_COM" "$@"
  out=$(cd "$folder" && "$WINE_RUN" "$cli" "$@" 2>&1)
  local status=$?
  [ "$status" -eq "$expected" ] || fail "tobrane-cli $* ended $status, not $expected:
$out"
}

if [ "$case" = ended ]; then
  kinds=$(grep -o '"kind": "[a-z-]*"' "$TOBRANE_SIM_WORK/ups-state.json" | cut -d'"' -f4)
  [ "$(tail -n 1 <<< "$kinds")" = end-flash ] || fail "the last request was not end-flash: $kinds"
  grep -qx reset <<< "$kinds" && fail "the UPS was reset"
  exit 0
fi

if [ "$case" = flash ]; then
  expected=$(tail -c +21 "$folder/$image" | od -An -v -tx1 | tr -s ' \n' '  ' | sed 's/^ //; s/ $//' | tr a-f A-F)
  actual=$(grep -o '"hex": "[^"]*"' "$TOBRANE_SIM_WORK/ups-state.json" | head -n 1 | cut -d'"' -f4)
  [ "${actual:0:${#expected}}" = "$expected" ] || fail "the simulator's flash does not hold the image"
  exit 0
fi

mkdir -p "$folder"
cp "$models" "$folder/OEMModel.ini"
"$makerom" "$folder/$image" --ups 500 --module 1 --load 0x8000 --size 4096 > /dev/null || fail "no image"
case $case in
  transfer)
    run 0 connect
    run 0 --verify program "$image"
    [[ $out == *"Programming Completed"* ]] || fail "no completed programming in:
$out"
    run 0 verify "$image"
    ;;
  nack)
    run 1 --verify program "$image"
    [[ $out == *"Maximum number of NACK retires exceeded"* ]] || fail "no NACK message in:
$out"
    ;;
  unplug)
    run 1 --verify program "$image"
    [[ $out == *"Lost the serial device $TOBRANE_COM"* ]] || fail "the lost device is not named in:
$out"
    ;;
  refused)
    run 0 --version
    [[ $out == "tobrane-cli "[0-9]* ]] || fail "no version in: $out"
    run 2 --bogus connect
    [ "${out//$'\r'/}" = "tobrane: Unknown option 'bogus'.
Try 'tobrane-cli --help'." ] || fail "no usage error in: $out"
    run 3 --device COM199 connect
    [[ $out == *"There is no such port. Ports present: "*COM*"'tobrane-cli ports' lists them."* ]] ||
      fail "the missing port is not explained in: $out"
    run 3 --device COM256 connect
    [[ $out == *"COM ports are numbered 1 to 255."* ]] || fail "the port number is not explained in: $out"
    run 3 --device "$image" connect
    [[ $out == *"$image is a file or folder, not a serial port"* ]] || fail "the file is not explained in: $out"
    started=$SECONDS
    run 3 --device NUL connect
    [ $((SECONDS - started)) -le 5 ] || fail "NUL took $((SECONDS - started)) s to be refused"
    [[ $out == *"Serial device NUL opened but refused its line settings"* ]] ||
      fail "NUL is not named as a device that refused its settings in: $out"
    ;;
  interrupt)
    (cd "$folder" && exec "$WINE_RUN" "$cli" --device "$TOBRANE_COM" --no-verify --trace trace.txt program "$image" \
      > out.txt 2>&1) &
    pid=$!
    # The second program block has gone out and waits for a reply that never comes.
    for _ in $(seq 300); do
      [ -f "$folder/trace.txt" ] && [ "$(grep -cE 'TX AB .. C9 57' "$folder/trace.txt")" -ge 2 ] && break
      sleep 0.1
    done
    kill -INT $pid
    wait $pid
    status=$?
    out=$(cat "$folder/out.txt")
    [ "$status" -eq 130 ] || fail "ended $status, not 130:
$out"
    [[ $out == *"tobrane: Interrupted: the run stopped at its next wait"* ]] || fail "no interrupted message in:
$out"
    ;;
  settings)
    serial='HKCU\Software\Ostrand Electronics\Tobrane PROM Loader\Serial'
    reg() {
      "$WINE_RUN" reg "$@" </dev/null >/dev/null 2>&1
    }
    trap 'reg delete "$serial" /v Device /f; reg add "$serial" /v Port /d 2 /f' EXIT
    reg add "$serial" /v Device /t REG_DWORD /d 7 /f
    reg add "$serial" /v Port /t REG_DWORD /d 199 /f
    out=$(cd "$folder" && "$WINE_RUN" "$cli" connect 2>&1)
    [ $? -eq 3 ] || fail "COM199 did not end with status 3: $out"
    warning=$(grep -n -m 1 'Serial.Device in the registry is not text; it is ignored' <<< "$out" | cut -d: -f1)
    port_error=$(grep -n -m 1 'Port Open FAILED' <<< "$out" | cut -d: -f1)
    [ -n "$warning" ] && [ -n "$port_error" ] && [ "$warning" -lt "$port_error" ] ||
      fail "the setting is not named before the port error: $out"
    reg delete "$serial" /v Device /f
    reg add "$serial" /v Port /t REG_DWORD /d 7 /f
    out=$(cd "$folder" && "$WINE_RUN" "$cli" connect 2>&1) || fail "a REG_DWORD Port of 7 did not connect: $out"
    ;;
  odd-speed)
    run 1 connect
    [[ $out == *"Unable to switch baud rates"* && $out != *"established at 28800"* ]] ||
      fail "the speed Wine did not take is not reported: $out"
    ;;
  *) fail "unknown case" ;;
esac
