#include "serial/NetworkFailure.h"

PortFailure NetworkMeaning(NetworkFailure failure) {
  switch (failure) {
    case NetworkFailure::BadAddress:
    case NetworkFailure::UnknownHost:
      return PortFailure::NotFound;
    case NetworkFailure::NoAnswer:
    case NetworkFailure::ClosedEarly:
    case NetworkFailure::ServerLine:
    case NetworkFailure::NotTelnet:
      return PortFailure::Refused;
    case NetworkFailure::ConnectionLost:
      return PortFailure::Lost;
    case NetworkFailure::NoConfirmation:
    case NetworkFailure::NotTaken:
      return PortFailure::Other;
  }
  return PortFailure::Other;
}
