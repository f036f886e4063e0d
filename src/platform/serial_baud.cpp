// The kernel's free-rate serial interface; kept apart because its header
// cannot be included together with <termios.h>.
#include <asm/ioctls.h>
#include <asm/termbits.h>

extern "C" int ioctl(int fd, unsigned long request, ...);  // NOLINT

namespace orniva {

bool SetFreeBaud(int fd, int baud) {
  struct termios2 tio {};
  if (ioctl(fd, TCGETS2, &tio) != 0) return false;
  tio.c_cflag &= ~CBAUD;
  tio.c_cflag |= BOTHER;
  tio.c_ispeed = static_cast<speed_t>(baud);
  tio.c_ospeed = static_cast<speed_t>(baud);
  return ioctl(fd, TCSETS2, &tio) == 0;
}

}  // namespace orniva
