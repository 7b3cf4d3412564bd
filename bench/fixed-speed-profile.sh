#!/usr/bin/env bash
# The simulator's profile for the throughput scripts: a UPS that stays at
# SPEED (no Plug-and-Play, no speed switch) with one 64 KiB code space.
#   bench/fixed-speed-profile.sh SPEED > FILE
# The UPS lists its speeds in 16 bits, so one over 65535 (115200) cannot be
# in its list; the throughput runs never ask for the list, so such a UPS
# lists 19200 instead, as bench_ProgramBench's does.
offered=$1
[ "$1" -gt 65535 ] && offered=19200
cat << PROFILE
{"pnp": null, "startBaud": $1, "offeredBauds": [$offered], "switchesSpeed": false, "accessCode": [84, 79, 66],
 "unit": {"startComm": {"block": 9, "data": [49]}, "controllers": [{"major": 2, "minor": 16}],
  "typeCode": 500, "serviceMode": {"code": [83, 86, 67], "ack": "1", "requiredForFlash": false},
  "cpus": [{"cpu": 1, "spaces": [{"descriptor": "0x33", "maxBlock": 128, "start": "0x00020000", "size": "0x00010000"}]}]}}
PROFILE
