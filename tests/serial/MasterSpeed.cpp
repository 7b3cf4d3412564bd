// Apart from PtyPair.cpp: termios2 and glibc's <termios.h> do not mix.
#include <asm/termbits.h>
#include <sys/ioctl.h>

#include "PtyPair.h"

const unsigned kCodeB1200 = B1200;
const unsigned kCodeB19200 = B19200;
const unsigned kCodeBOther = BOTHER;

MasterSpeed ReadMasterSpeed(int master) {
  termios2 tio{};
  MasterSpeed speed;
  if (ioctl(master, TCGETS2, &tio) == 0) {
    speed.code = tio.c_cflag & CBAUD;
    speed.numeric = tio.c_ospeed;
  }
  return speed;
}
