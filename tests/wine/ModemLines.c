/* Test equipment: gives a pseudo-terminal the modem lines it lacks. Linux
 * refuses TIOCMGET, TIOCMSET, TIOCMBIS and TIOCMBIC on a pty, which makes
 * Wine fail EscapeCommFunction and GetCommModemStatus and end every
 * WaitCommEvent at once. Loaded with LD_PRELOAD into Wine, this answers them
 * for any tty the kernel refuses them for: DTR and RTS keep what was set, the
 * inputs (CTS, DSR, ring, carrier) stay off, as on a cable whose far end
 * drives none of them. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <errno.h>
#include <pthread.h>
#include <stdarg.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#define MAX_TTYS 64

static struct {
  dev_t device;
  int bits;
} lines[MAX_TTYS];
static int lineCount;
static pthread_mutex_t mutex = PTHREAD_MUTEX_INITIALIZER;

/* The remembered bits of this tty; Wine reaches one port through several
 * descriptors, so the device number is the key. */
static int* BitsOf(int fd) {
  struct stat st;
  if (fstat(fd, &st) != 0) return 0;
  for (int i = 0; i < lineCount; ++i)
    if (lines[i].device == st.st_rdev) return &lines[i].bits;
  if (lineCount == MAX_TTYS) return 0;
  lines[lineCount].device = st.st_rdev;
  lines[lineCount].bits = TIOCM_DTR | TIOCM_RTS;
  return &lines[lineCount++].bits;
}

static int Emulate(int fd, unsigned long request, int* arg) {
  pthread_mutex_lock(&mutex);
  int* bits = BitsOf(fd);
  int result = bits ? 0 : -1;
  if (bits) {
    const int outputs = TIOCM_DTR | TIOCM_RTS;
    if (request == TIOCMGET) *arg = *bits;
    if (request == TIOCMSET) *bits = *arg & outputs;
    if (request == TIOCMBIS) *bits |= *arg & outputs;
    if (request == TIOCMBIC) *bits &= ~*arg;
  }
  pthread_mutex_unlock(&mutex);
  if (result != 0) errno = ENOTTY;
  return result;
}

int ioctl(int fd, unsigned long request, ...) {
  static int (*real)(int, unsigned long, ...);
  if (!real) real = (int (*)(int, unsigned long, ...))dlsym(RTLD_NEXT, "ioctl");
  va_list args;
  va_start(args, request);
  void* arg = va_arg(args, void*);
  va_end(args);
  const int modemCall =
      request == TIOCMGET || request == TIOCMSET || request == TIOCMBIS || request == TIOCMBIC;
  const int result = real(fd, request, arg);
  if (result == 0 || !modemCall || (errno != ENOTTY && errno != EINVAL) || !isatty(fd)) return result;
  return Emulate(fd, request, (int*)arg);
}
