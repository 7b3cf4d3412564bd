#pragma once

#include <string>
#include <vector>

// One serial device node present on this machine.
struct SerialDeviceEntry {
  std::string path;
  std::string target;  // what a /dev/serial/by-id link points to; empty otherwise
  int comNumber = 0;   // the "Serial"/"Port" number that opens it; 0 when none does
};

// The COM number whose default device is this path (/dev/ttyS<n-1> is COMn), or 0.
int ComNumberForDevice(const std::string& path);

// /dev/ttyS*, ttyUSB*, ttyACM* and /dev/serial/by-id/*, sorted, under a root
// directory that tests may point elsewhere.
std::vector<SerialDeviceEntry> ListSerialDevices(const std::string& devRoot = "/dev");

// One line per entry, for the "ports" command and the window's tooltips.
std::string DescribeSerialDevice(const SerialDeviceEntry& entry);
