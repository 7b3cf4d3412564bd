#pragma once

#include <string>

#include "serial/NetworkFailure.h"

// The text of a network port's own failure, from the string table.
std::string NetworkFailureText(NetworkFailure failure);
// The server's own words on a refusal, as a line to add; empty for none.
std::string ServerWordsText(const std::string& words);
// Why a device name with a scheme is no good network port name; empty when
// it is one or has no scheme.
std::string DeviceNameProblem(const std::string& deviceName);
