#include "protocol/ReceiveState.h"

// Placeholder so the tree links while this file's owner writes it.
void CReceiveState::ReceiveBytes(const std::uint8_t*, std::uint32_t) {}
void CReceiveState::SetReceiveMode(int, bool) {}
CReceiveState::Progress CReceiveState::AssemblyProgress() const {
  return progress_;
}
