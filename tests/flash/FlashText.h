#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TestRig.h"
#include "app/CommandIds.h"
#include "tests/connection/ConnectText.h"

// What Open, Program UPS and Verify Program show, as CTestRig::Text() gives it,
// and the rig steps the flash tests share.
namespace flash_text {

using namespace connect_text;

// The Open lines of a sample image for the default UPS, before its data size line.
inline std::string HeaderLines(const std::string& load = "00008000",
                               const std::string& model = "500  = Tobrane 500",
                               const std::string& module = "Communications") {
  return "Header size is 20 bytes\n"
         "\tUPS ID is " +
         model +
         "\n"
         "\tModule to program is " +
         module +
         "\n"
         "\tCode Version Number is  3.00\n"
         "\t\tDated 12/ 7/2026\n"
         "\tLoad Address is: " +
         load + "\n";
}
inline std::string DataLine(int bytes) {
  return "\nFile contains " + std::to_string(bytes) + " ROM data bytes\n";
}
// The default sample image (512 bytes at 0x8000 for CPU 1) opened after a Connect.
inline const std::string kOpened =
    kDefaultConnect + HeaderLines() + "\tChecksum is correct\n" + DataLine(512);

inline const std::string kProgramStarted = "\nProgramming Started\n\n";
inline const std::string kCompleted0 = "\nProgramming Completed in 0 seconds\n";
inline const std::string kProgramFailed = "\nProgramming Failed\n";
inline const std::string kResetSent = "\n\tReset command sent to UPS\n";
inline const std::string kVerifyStarted = "\nVerification Started\n\n";
inline const std::string kVerifyCompleted = "\nVerification Completed\n";
inline const std::string kVerifyFailed = "\nVerification Failed\n";
inline const std::string kProgramAborted = "Aborted flash operation ... can not upgrade this UPS\n";
inline const std::string kVerifyAborted =
    "Aborted verify operation ... UPS does not have verify capability\n";
inline const std::string kTypeMismatch =
    "CPU or UPS Type Mismatch...Open correct ROM file for this UPS and insure that OEM.ini file is present";

using Kinds = std::vector<SimRequestKind>;
using K = SimRequestKind;

// The request kinds the UPS received from request number `from` on.
inline Kinds KindsFrom(const CTestRig& rig, std::size_t from) {
  Kinds kinds;
  const auto& requests = rig.ups.Record().requests;
  for (std::size_t i = from; i < requests.size(); ++i) kinds.push_back(requests[i].kind);
  return kinds;
}

inline Kinds Repeated(SimRequestKind kind, int n) {
  return Kinds(static_cast<std::size_t>(n), kind);
}

inline Kinds Concat(std::initializer_list<Kinds> parts) {
  Kinds all;
  for (const Kinds& p : parts) all.insert(all.end(), p.begin(), p.end());
  return all;
}

inline SimFault Fault(SimRequestKind request, SimFaultKind kind, int occurrence = 1, int count = 1) {
  SimFault f;
  f.request = request;
  f.fault = kind;
  f.occurrence = occurrence;
  f.count = count;
  return f;
}

inline SimProfile WithFaults(const std::vector<SimFault>& faults, const std::string& name = "default") {
  SimProfile profile = CTestRig::Profile(name);
  profile.faults.insert(profile.faults.end(), faults.begin(), faults.end());
  return profile;
}

// Start-up with the verify-after-flash option as given, Connect, and Open of `image`.
inline std::size_t OpenAfterConnect(CTestRig& rig, const std::string& image, bool verify) {
  rig.store.Write("Config", "Verify", verify ? "Y" : "N");
  rig.Start();
  EXPECT_TRUE(rig.ConnectAndOpen(image));
  return rig.ups.Record().requests.size();
}

// What every Program UPS run leaves, whatever its outcome.
inline void ExpectProgramEnded(const CTestRig& rig) {
  EXPECT_TRUE(rig.frame->Rom().romFileName.empty());
  EXPECT_FALSE(rig.frame->Rom().romFile);
  EXPECT_EQ(rig.view.title, "Tobrane PROM Loader");
  EXPECT_EQ(rig.frame->Rom().operation, 0);
  EXPECT_FALSE(rig.frame->IsCommandEnabled(kCmdProgram));
  EXPECT_FALSE(rig.view.waitCursor);
  EXPECT_EQ(rig.frame->Receive().ReceiveMode(), kModeIdle);
}

}  // namespace flash_text
