#include "app/RefusedSetting.h"

#include "resources/Strings.h"
#include "serial/SerialPort.h"

std::string RefusedSettingText(const CSerialPort& port) {
  switch (port.RefusedSetting()) {
    case LineSetting::None:
      return {};
    case LineSetting::BaudRate:
      return Format(kStrRefusedBaudRate, {port.RefusedValue()});
    case LineSetting::DataBits:
      return Format(kStrRefusedDataBits, {port.RefusedValue()});
    case LineSetting::StopBits:
      return Format(kStrRefusedStopBits, {port.RefusedValue()});
    case LineSetting::SerialLine:
      return Text(kStrRefusedSerialLine);
    case LineSetting::Timeouts:
      return Text(kStrRefusedTimeouts);
    case LineSetting::EventMask:
      return Text(kStrRefusedEventMask);
    case LineSetting::ControlLines:
      return Text(kStrRefusedControlLines);
    case LineSetting::NetworkLine:
      return Text(kStrRefusedNetworkLine);
  }
  return {};
}
