#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "TestRig.h"

// What a Connect shows, piece by piece, as CTestRig::Text() gives it.
namespace connect_text {

inline const std::string kConnectAttempt = "Attempting to establish communications with UPS...\n";
inline const std::string kPnpUnable = "Unable to acquire Plug-and-Play data from UPS\n";
inline const std::string kEstablished19200 = "UPS communications established at 19200 baud\n\n";
inline const std::string kUnableToSwitch = "Unable to switch baud rates\n\n";
inline const std::string kStartupAttempt = "Attempting to startup UPS COMM...";
inline const std::string kSwitchingAll =
    "Switching to 19200 baud\nSwitching to 9600 baud\nSwitching to 2400 baud\n";
inline const std::string kOemHint =
    "\tERROR: Make sure that the OEM.ini file is located in the local directory.\n";

inline const std::string kDefaultPnpLines =
    "Plug-n-Play data:\n"
    "\tConforms to Plug and Play revision 1.00\n"
    "\tEISA Mfr ID is OST\n"
    "\tProduct ID is 0500\n"
    "\tProduct Serial Number is 00012345\n"
    "\tClass Name is UPS\n"
    "\tCompatible Device IDs are \n"
    "\tUser Name is Tobrane 5000\n"
    "\tChecksum is correct\n"
    "\t\tCalculated Checksum is 58\n"
    "\t\tEmbedded Checksum is 58\n"
    "\n";

inline const std::string kHandshake = "Received Response to Start Comm Request\n\tReceived block 9\n";
inline const std::string kHandshakeTimeout = "Timed out waiting for Comm StartUp Acknowledge\n";
inline const std::string kIdLines =
    "Received UPS ID data\n"
    "\tNumber of controllers in UPS is: 2\n"
    "\tCurrent firmware version of Communications controller is:  2.10\n"
    "\tCurrent firmware version of Inverter controller is:  1.05\n";
inline const std::string kConfigLines = "Received UPS Configuration Data\n\tUPS Type is: 500 = Tobrane 500\n";
inline const std::string kIdentified = kIdLines + kConfigLines;
inline const std::string kServiceModeReceived = "Received response to Enter Service Mode request\n";
inline const std::string kServiceMode = kServiceModeReceived + "\tSuccessfully entered service mode\n";
inline const std::string kCapsReceived = "Received response to request for Flash capabilities\n";
inline const std::string kCpu1Capabilities =
    kCapsReceived +
    "\tResponding cpu is: 1 = communications\n"
    "\tCode memory access is: read/write from 00008000 for 32768 bytes\n"
    "\t\tMaximum block size (flash sector size) for this space is 128\n"
    "\tBoot Loader memory access is: read/write from 00000000 for 8192 bytes\n"
    "\t\tMaximum block size (flash sector size) for this space is 64\n"
    "\tConfiguration memory access is: read only from 00010000 for 256 bytes\n"
    "\t\tMaximum block size for this space is 16\n";
inline const std::string kCpu2Capabilities =
    kCapsReceived +
    "\tResponding cpu is: 2 = inverter\n"
    "\tCode memory access is: read/write from 00004000 for 49152 bytes\n"
    "\t\tMaximum block size (flash sector size) for this space is 128\n";
inline const std::string kDefaultCapabilities = kCpu1Capabilities + kCpu2Capabilities;
// Everything after the Plug-and-Play lines of a default Connect.
inline const std::string kDefaultAfterPnp = kHandshake + kIdentified + kServiceMode + kDefaultCapabilities;
inline const std::string kDefaultConnect = kEstablished19200 + kDefaultPnpLines + kDefaultAfterPnp;

// The end of a Connect whose identification nothing answers.
inline const std::string kNothingAnswers =
    kHandshakeTimeout + "Timed out waiting for UPS ID data\n" + kOemHint;

inline const std::string kUnableToCommunicate =
    "Unable to communicate serially with the UPS or Linkbay card.\n"
    "Please check your connections and Configuration and try again.";
inline const std::string kNoFlashCapability = "This UPS does not have flash upgrade capability";

// The default UPS's three flashable spaces, recorded from entry `first` on.
inline void ExpectDefaultSpaces(const CConnectionState& c, int first) {
  const FlashSpace expected[] = {
      {0x33, 1, 128, 0x8000, 0x8000, 1}, {0x36, 1, 64, 0x0000, 0x2000, 1}, {0x33, 1, 128, 0x4000, 0xC000, 2}};
  for (int i = 0; i < 3; ++i) {
    const FlashSpace& s = c.spaces[static_cast<std::size_t>(first + i)];
    SCOPED_TRACE("entry " + std::to_string(first + i));
    EXPECT_EQ(s.spaceDescriptor, expected[i].spaceDescriptor);
    EXPECT_EQ(s.spaceReadWrite, expected[i].spaceReadWrite);
    EXPECT_EQ(s.spaceMaxBlock, expected[i].spaceMaxBlock);
    EXPECT_EQ(s.spaceStart, expected[i].spaceStart);
    EXPECT_EQ(s.spaceSize, expected[i].spaceSize);
    EXPECT_EQ(s.spaceCpu, expected[i].spaceCpu);
  }
}

}  // namespace connect_text

namespace connect_text {

// Whether the transcript held exactly `text` (with "\n" line ends) at some point.
inline bool TranscriptWas(const CTestRig& rig, std::string text) {
  for (std::size_t at = 0; (at = text.find('\n', at)) != std::string::npos; at += 2) text.insert(at, "\r");
  const std::vector<std::string>& seen = rig.view.transcripts;
  return std::find(seen.begin(), seen.end(), text) != seen.end();
}

inline SimProfile WithFault(SimRequestKind request, SimFaultKind fault, int occurrence = 1, int count = 1,
                            const std::string& profileName = "default") {
  SimProfile profile = CTestRig::Profile(profileName);
  SimFault f;
  f.request = request;
  f.fault = fault;
  f.occurrence = occurrence;
  f.count = count;
  profile.faults.push_back(f);
  return profile;
}

}  // namespace connect_text
