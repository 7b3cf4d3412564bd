#include "PtyPair.h"

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <unistd.h>

PtyPair::PtyPair() {
  int slave = -1;
  char name[128] = {};
  if (openpty(&master, &slave, name, nullptr, nullptr) == 0) {
    slavePath = name;
    // The port opens the slave itself; the pty lives on through the master.
    close(slave);
  }
}

PtyPair::~PtyPair() {
  CloseMaster();
}

void PtyPair::Write(const std::vector<std::uint8_t>& bytes) const {
  std::size_t done = 0;
  while (done < bytes.size()) {
    ssize_t n = write(master, bytes.data() + done, bytes.size() - done);
    if (n <= 0) {
      return;
    }
    done += static_cast<std::size_t>(n);
  }
}

std::vector<std::uint8_t> PtyPair::Read(std::size_t count) const {
  std::vector<std::uint8_t> bytes;
  while (bytes.size() < count) {
    pollfd entry{master, POLLIN, 0};
    if (poll(&entry, 1, 2000) <= 0) {
      break;
    }
    std::uint8_t buffer[256];
    ssize_t n = read(master, buffer, sizeof buffer);
    if (n <= 0) {
      break;
    }
    bytes.insert(bytes.end(), buffer, buffer + n);
  }
  return bytes;
}

void PtyPair::CloseMaster() {
  if (master >= 0) {
    close(master);
    master = -1;
  }
}
