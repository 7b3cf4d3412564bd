#pragma once

#include <string>

// The lines that describe a captured Plug-and-Play string of `length`
// characters (from "(" to ")"): its fields and checksum, or, when it is not
// a valid string, "Invalid Plug-n-Play String" and a hex dump.
std::string DescribePnpString(const char* pnp, int length);
