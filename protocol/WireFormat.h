#pragma once

#include <cstdint>

// The wire format both ways, each fact once: the loader and the simulator
// both take their codes from here.

// ---- framing ----
inline constexpr std::uint8_t kStartByte = 0xAB;
// A reply frame's sequence byte: its number, and the mark of the last frame.
inline constexpr std::uint8_t kLastFrameBit = 0x80;
inline constexpr std::uint8_t kSequenceMask = 0x7F;
inline constexpr int kMaxFrameDataBytes = 140;
// Image bytes one program-block request carries at most.
inline constexpr int kMaxTransferBlockBytes = 128;
// A block request never carries a zero descriptor; the UPS expects 0x33 there.
inline constexpr std::uint8_t kZeroDescriptorStandIn = 0x33;

// ---- request command codes ----
inline constexpr std::uint8_t kStartCommCommand = 0xA0;
inline constexpr std::uint8_t kIdBlockCommand = 0x31;
inline constexpr std::uint8_t kConfigurationCommand = 0x36;
inline constexpr std::uint8_t kCommParametersCommand = 0x42;
inline constexpr std::uint8_t kSetCommParameterCommand = 0x98;
inline constexpr std::uint8_t kSubmoduleCommand = 0xCE;
inline constexpr std::uint8_t kAuthorizationCommand = 0xCF;
inline constexpr std::uint8_t kResetCommand = 0x79;
inline constexpr std::uint8_t kFlashCommand = 0xC9;
// Carries its bytes as they are: the service-mode request goes this way.
inline constexpr std::uint8_t kRawCommand = 0xFF;

// The fixed parameters of the authorization and the service-mode requests.
inline constexpr std::uint8_t kAuthorizationAccessCode[3] = {0x54, 0x4F, 0x42};
inline constexpr std::uint8_t kServiceModeCode[3] = {0x53, 0x56, 0x43};

// ---- flash operations: the first parameter of kFlashCommand, echoed as
// the first data byte of a reply that went well ----
inline constexpr std::uint8_t kCapabilitiesOperation = 'C';
inline constexpr std::uint8_t kStartFlashOperation = 'S';
inline constexpr std::uint8_t kProgramOperation = 'W';
inline constexpr std::uint8_t kReadOperation = 'R';
inline constexpr std::uint8_t kEndFlashOperation = 'E';
// A read-back reply repeats the request's 11 parameter bytes before the data.
inline constexpr int kReadEchoBytes = 11;

// ---- flash status letters, in place of the echo ----
inline constexpr std::uint8_t kFlashTerminatedStatus = 'X';
inline constexpr std::uint8_t kFlashNackStatus = 'N';
inline constexpr std::uint8_t kFlashRepeatStatus = 0x09;

// ---- reply block numbers ----
inline constexpr std::uint8_t kIdReplyBlock = 1;
inline constexpr std::uint8_t kConfigurationReplyBlock = 6;
inline constexpr std::uint8_t kAcknowledgeBlock = 9;
inline constexpr std::uint8_t kFlashReplyBlock = 0xC9;

// ---- acknowledgement codes: the first data byte of an acknowledge block ----
inline constexpr std::uint8_t kAckAccepted = '1';
// To a submodule request: nothing answered behind the route.
inline constexpr std::uint8_t kAckSubmoduleTimeout = '2';
inline constexpr std::uint8_t kAckUnrecognized = '4';
inline constexpr std::uint8_t kAckOutOfRange = '5';
inline constexpr std::uint8_t kAckInvalid = '6';

// ---- reply capacities: data bytes the loader takes from one reply ----
inline constexpr std::uint16_t kReplyCapacityBytes = 300;
inline constexpr std::uint16_t kCommParametersCapacityBytes = 128;

// ---- the line ----
inline constexpr std::uint8_t kFrameDataBits = 8;
inline constexpr std::uint32_t kPnpBaud = 1200;
inline constexpr std::uint8_t kPnpDataBits = 7;
// The pause between an authorization frame and the request it allows.
inline constexpr int kAuthorizationPauseMs = 250;
