#pragma once

#include <string>

class CSerialPort;

// What the port refused when it opened but could not be configured, in
// words: "DataBits 9", "its serial line settings"; empty when nothing was.
std::string RefusedSettingText(const CSerialPort& port);
