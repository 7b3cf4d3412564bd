#pragma once

#include "serial/PortError.h"

// The network port's own failures, the codes of ErrorDomain::Network; what
// the socket calls report keeps its system domain.
enum class NetworkFailure : int {
  BadAddress = 1,  // the device name is no rfc2217://HOST:PORT
  UnknownHost,     // the host name does not resolve
  NoAnswer,        // the host did not accept within the bound
  ClosedEarly,     // the server closed before the options were agreed
  ServerLine,      // the server sent a text line instead of negotiating
  NotTelnet,       // the server speaks something else, or not RFC 2217
  NoConfirmation,  // the server did not confirm a line change in time
  NotTaken,        // the server answered a speed or data size other than the one asked
  ConnectionLost,  // the connection dropped under an open port
};

PortFailure NetworkMeaning(NetworkFailure failure);
