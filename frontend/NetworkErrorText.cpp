#include "frontend/NetworkErrorText.h"

#include "resources/Strings.h"
#include "serial/NetworkAddress.h"

std::string NetworkFailureText(NetworkFailure failure) {
  switch (failure) {
    case NetworkFailure::BadAddress:
      return Text(kStrNetBadAddress);
    case NetworkFailure::UnknownHost:
      return Text(kStrNetUnknownHost);
    case NetworkFailure::NoAnswer:
      return Text(kStrNetNoAnswer);
    case NetworkFailure::ClosedEarly:
      return Text(kStrNetClosedEarly);
    case NetworkFailure::ServerLine:
      return Text(kStrNetServerLine);
    case NetworkFailure::NotTelnet:
      return Text(kStrNetNotTelnet);
    case NetworkFailure::NoConfirmation:
      return Text(kStrNetNoConfirmation);
    case NetworkFailure::NotTaken:
      return Text(kStrNetNotTaken);
    case NetworkFailure::ConnectionLost:
      return Text(kStrNetConnectionLost);
  }
  return {};
}

std::string ServerWordsText(const std::string& words) {
  return words.empty() ? std::string() : Format(kStrNetServerSaid, {words});
}

std::string DeviceNameProblem(const std::string& deviceName) {
  if (!IsNetworkDeviceName(deviceName)) return {};
  NetworkAddress address;
  switch (ParseNetworkAddress(deviceName, address)) {
    case AddressProblem::None:
      return {};
    case AddressProblem::UnknownScheme:
      return Format(kStrUsageNetScheme, {deviceName});
    case AddressProblem::NoHost:
      return Format(kStrUsageNetNoHost, {deviceName});
    case AddressProblem::NoPort:
      return Format(kStrUsageNetNoPort, {deviceName});
    case AddressProblem::PortOutOfRange:
      return Format(kStrUsageNetPortRange, {deviceName});
  }
  return {};
}
