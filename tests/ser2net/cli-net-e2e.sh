#!/usr/bin/env bash
# tobrane-cli through ser2net, run inside ser2net-rig.sh:
#   cli-net-e2e.sh [--runner PROGRAM] CLI MAKEROM MODEL_FILE CASE
# PROGRAM runs CLI (the Windows tree's wine-run for tobrane-cli.exe).
# transfer: connect, program with verify, verify alone;
# pnp:      (after the rig stopped) the simulator sent its Plug-and-Play
#           string and saw the speed negotiated through the server;
# killed:   ser2net killed mid-transfer: status 1 at once, the lost
#           connection named, never a success;
# refused:  nothing listening (status 3 within 5 s, host and port named), a
#           malformed name (status 2), the server's "Port already in use"
#           quoted (status 3).
set -uo pipefail
runner=()
if [ "$1" = --runner ]; then
  runner=("$2")
  shift 2
fi
cli=$1 makerom=$2 models=$3 case=$4
fail() {
  echo "cli-net-e2e.sh $case: $*" >&2
  exit 1
}

if [ "$case" = pnp ]; then
  state=$(tr -d ' \n' < "$TOBRANE_SIM_WORK/ups-state.json")
  [[ $state == *'"pnpSent":'[1-9]* ]] || fail "no Plug-and-Play string sent: $state"
  [[ $state == *'"speeds":[1200,19200'* ]] || fail "no speed negotiation seen: $state"
  [[ $state == *'"garbledBytes":0,'* ]] || fail "garbled bytes: $state"
  exit 0
fi

work="$TOBRANE_SIM_WORK/run"
mkdir -p "$work"
cp "$models" "$work/OEMModel.ini"
# The killed case needs a transfer long enough to be cut (16 KiB: about 10 s).
size=4096
[ "$case" = killed ] && size=16384
"$makerom" "$work/image.rom" --ups 500 --module 1 --load 0x8000 --size "$size" > /dev/null || fail "no image"

# run EXPECTED_STATUS ARGS...: tobrane-cli in the work folder; output in $out.
run() {
  local expected=$1
  shift
  out=$(cd "$work" && timeout 120 "${runner[@]}" "$cli" "$@" 2>&1)
  local status=$?
  [ "$status" -eq "$expected" ] || fail "tobrane-cli $* ended $status, not $expected:
$out"
}

case $case in
  transfer)
    run 0 --device "$TOBRANE_NET_DEVICE" connect
    run 0 --device "$TOBRANE_NET_DEVICE" --verify program image.rom
    [[ $out == *"Verification Completed"* ]] || fail "no verification in:
$out"
    run 0 --device "$TOBRANE_NET_DEVICE" verify image.rom
    ;;
  killed)
    (cd "$work" && exec "${runner[@]}" "$cli" --device "$TOBRANE_NET_DEVICE" --no-verify --trace trace.txt program image.rom \
      > cli.out 2>&1) &
    cli_pid=$!
    # The server is killed once four blocks are written (the trace is
    # flushed per frame), whatever the machine's speed.
    blocks() { cat "$work/trace.txt" 2>/dev/null | grep -c ' TX AB 88 C9 57 '; }
    for _ in $(seq 1200); do
      [ "$(blocks)" -ge 4 ] && break
      kill -0 "$cli_pid" 2>/dev/null || break
      sleep 0.05
    done
    [ "$(blocks)" -ge 4 ] || fail "no transfer began:
$(cat "$work/cli.out")"
    kill "$TOBRANE_SER2NET_PID"
    killed_at=$(date +%s%N)
    wait "$cli_pid"
    status=$?
    ended_ms=$((($(date +%s%N) - killed_at) / 1000000))
    out=$(cat "$work/cli.out")
    [ "$status" -eq 1 ] || fail "ended $status, not 1: $out"
    [[ $out != *"Programming Completed"* ]] || fail "a lost server reported as a success: $out"
    [[ $out == *"Lost the serial device $TOBRANE_NET_DEVICE (the network connection was lost)"* ]] ||
      fail "the lost connection is not named in: $out"
    [ "$ended_ms" -lt 3000 ] || fail "took $ended_ms ms to end after the kill"
    ;;
  refused)
    unused="rfc2217://127.0.0.1:1"
    start=$(date +%s)
    run 3 --device "$unused" connect
    [ $(($(date +%s) - start)) -le 5 ] || fail "the refusal took over 5 s"
    [[ $out == *"Cannot open serial device $unused: "* ]] || fail "host and port not named in: $out"
    run 2 --device "rfc2217://127.0.0.1:0" connect
    [[ $out == *"the TCP port must be 1 to 65535"* ]] || fail "no usage message in: $out"
    # ser2net serves one connection: a second one is turned away in words.
    exec 3<> "/dev/tcp/127.0.0.1/${TOBRANE_NET_DEVICE##*:}"
    sleep 0.2
    run 3 --device "$TOBRANE_NET_DEVICE" connect
    exec 3>&-
    [[ $out == *'The server said: "Port already in use"'* ]] || fail "the server's line is not quoted in: $out"
    ;;
  *)
    fail "unknown case"
    ;;
esac
