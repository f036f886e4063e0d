#include <dirent.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>

#include "core/virtual_event_loop.h"
#include "platform/serial_port.h"

namespace orniva {
namespace {

// A bare pseudo-terminal: the test writes on the master what the "device"
// sends, the serial layer opens the slave.
struct Pty {
  int master = -1;
  std::string slave;
  Pty() {
    master = ::posix_openpt(O_RDWR | O_NOCTTY);
    ::grantpt(master);
    ::unlockpt(master);
    slave = ::ptsname(master);
  }
  ~Pty() { ::close(master); }
  void Send(const std::string& s) const {
    ASSERT_EQ(::write(master, s.data(), s.size()), (ssize_t)s.size());
  }
  // What arrived within 100 ms (the test must never hang).
  std::string Receive() const {
    pollfd p{master, POLLIN, 0};
    if (::poll(&p, 1, 100) <= 0) return "";
    char buf[512];
    ssize_t n = ::read(master, buf, sizeof buf);
    return n > 0 ? std::string(buf, n) : "";
  }
};

int OpenFdCount() {
  int n = 0;
  DIR* d = ::opendir("/proc/self/fd");
  while (::readdir(d)) ++n;
  ::closedir(d);
  return n;
}

std::string ExComText(const std::function<void()>& fn) {
  try {
    fn();
  } catch (const ExCom& e) {
    return e.what();
  }
  return "no error";
}

struct SerialFixture : ::testing::Test {
  VirtualEventLoop loop;
  SerialPorts ports{loop};
};

TEST(ComDeviceTable, DefaultsAndEditedLines) {
  ComDeviceTable t;
  EXPECT_EQ(t.DevicePath("COM1"), "/dev/ttyS0");
  EXPECT_EQ(t.DevicePath("COM4"), "/dev/ttyS3");
  EXPECT_EQ(t.DevicePath("COM5"), "/dev/ttyUSB0");
  EXPECT_EQ(t.DevicePath("COM13"), "/dev/ttyACM0");
  EXPECT_EQ(t.DevicePath("/dev/pts/7"), "/dev/pts/7");
  t.SetLines({"COM3=/dev/ttyUSB4", "garbage", "COM12 = /dev/x", "COMx=/dev/y"});
  EXPECT_EQ(t.DevicePath("COM3"), "/dev/ttyUSB4");
  EXPECT_EQ(t.DevicePath("COM1"), "/dev/ttyS0");  // missing lines fall back
  EXPECT_EQ(t.Lines(), std::vector<std::string>{"COM3=/dev/ttyUSB4"});
}

TEST_F(SerialFixture, OpensRawWritesAndReadsWhatWaits) {
  Pty pty;
  ASSERT_TRUE(ports.OpenCom(1, pty.slave));
  ports.SetCom(1, 9600, 0, 8, 0);
  ports.SetTimeout(1, 1000, 100);
  ports.SetBuf(1, 4096, 4096);
  termios tio{};
  ASSERT_EQ(::tcgetattr(ports.Fd(1), &tio), 0);
  EXPECT_EQ(tio.c_lflag & (ICANON | ECHO), 0u);
  EXPECT_EQ(tio.c_cflag & HUPCL, 0u);  // closing keeps DTR and RTS
  EXPECT_NE(tio.c_cflag & CLOCAL, 0u);
  EXPECT_EQ(tio.c_cc[VSTART], 17);
  EXPECT_EQ(tio.c_cc[VSTOP], 19);
  EXPECT_EQ(cfgetospeed(&tio), static_cast<speed_t>(B9600));

  ports.PutString(1, "#:GR#\r\n");
  ports.PutByte(1, 0xDF);
  std::string got = pty.Receive();
  got += pty.Receive();
  EXPECT_EQ(got, "#:GR#\r\n\xDF");

  pty.Send("12:34:56#");
  int64_t before = loop.NowMs();
  EXPECT_EQ(ports.GetString(1), "12:34:56#");
  EXPECT_EQ(loop.NowMs() - before, 200);  // the fixed pause, on the loop's clock
  EXPECT_EQ(ports.GetString(1), "");      // empty queue
  EXPECT_EQ(ports.GetString(5), "");      // unopened slot
}

TEST_F(SerialFixture, StopBitsAndRatesWithoutACode) {
  // (A pseudo-terminal forces 8 bits without parity, so only these show.)
  Pty pty;
  ports.OpenCom(0, pty.slave);
  ports.SetCom(0, 14400, 2, 7, 2);
  termios tio{};
  ::tcgetattr(ports.Fd(0), &tio);
  EXPECT_NE(tio.c_cflag & CSTOPB, 0u);
  ports.SetCom(0, 115200, 0, 8, 0);
  ::tcgetattr(ports.Fd(0), &tio);
  EXPECT_EQ(tio.c_cflag & CSTOPB, 0u);
  EXPECT_EQ(cfgetospeed(&tio), static_cast<speed_t>(B115200));
}

TEST_F(SerialFixture, GetStringReturnsAtMost256AndLeavesTheRest) {
  Pty pty;
  ports.OpenCom(2, pty.slave);
  pty.Send(std::string(300, 'x'));
  EXPECT_EQ(ports.GetString(2).size(), 256u);
  EXPECT_EQ(ports.GetString(2).size(), 44u);
}

TEST_F(SerialFixture, ReopeningASlotClosesItsPreviousHandle) {
  Pty a, b;
  ports.OpenCom(1, a.slave);
  int count = OpenFdCount();
  ports.OpenCom(1, b.slave);
  EXPECT_EQ(OpenFdCount(), count);
  ports.PutString(1, "x");
  EXPECT_EQ(b.Receive(), "x");
  ports.CloseCom(1);
  EXPECT_FALSE(ports.IsOpen(1));
  EXPECT_EQ(OpenFdCount(), count - 1);
}

TEST_F(SerialFixture, FailuresCarryTheOperationAndTheErrorNumber) {
  EXPECT_EQ(ExComText([&] { ports.OpenCom(1, "/dev/does-not-exist"); }), "open_com, erreur = 2");
  EXPECT_FALSE(ports.IsOpen(1));
  EXPECT_EQ(ExComText([&] { ports.PutString(1, "x"); }), "put_string, erreur = 9");
  EXPECT_EQ(ExComText([&] { ports.SetCom(1, 9600, 0, 8, 0); }), "get_com, erreur = 9");
  // The device goes away (the mount unplugged): reads and writes fail with EIO.
  auto pty = std::make_unique<Pty>();
  ports.OpenCom(1, pty->slave);
  pty.reset();
  EXPECT_EQ(ExComText([&] { ports.PutString(1, "#:GR#"); }), "put_string, erreur = 5");
  EXPECT_EQ(ExComText([&] { ports.GetString(1); }), "get_string, erreur = 5");
  EXPECT_EQ(ExComText([&] { ports.PutByte(1, 1); }), "put_byte, erreur = 5");
}

TEST_F(SerialFixture, ARepliesLateIsReadAsEmptyWithoutBlockingLonger) {
  Pty pty;
  ports.OpenCom(1, pty.slave);
  auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(ports.GetString(1), "");  // nothing comes
  auto realMs = std::chrono::duration_cast<std::chrono::milliseconds>(
                    std::chrono::steady_clock::now() - start)
                    .count();
  EXPECT_LE(realMs, 400);
  EXPECT_EQ(loop.NowMs(), 200);
}

TEST_F(SerialFixture, NoFlowControlAndWritesThatCannotGoOutFailInTime) {
  Pty pty;
  // Flow control left on the line by an earlier user is switched off.
  {
    int other = ::open(pty.slave.c_str(), O_RDWR | O_NOCTTY);
    termios tio{};
    ::tcgetattr(other, &tio);
    tio.c_iflag |= IXON | IXOFF | IXANY;
    tio.c_cflag |= CRTSCTS;
    ::tcsetattr(other, TCSANOW, &tio);
    ::close(other);
  }
  ASSERT_TRUE(ports.OpenCom(1, pty.slave));
  ports.SetCom(1, 9600, 0, 8, 0);
  termios tio{};
  ASSERT_EQ(::tcgetattr(ports.Fd(1), &tio), 0);
  EXPECT_EQ(tio.c_iflag & (IXON | IXOFF | IXANY), 0u);
  EXPECT_EQ(tio.c_cflag & CRTSCTS, 0u);
  // Nobody reads the line: the output queue fills and the write gives up
  // after its limit instead of waiting for ever.
  auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(ExComText([&] { ports.PutString(1, std::string(1 << 20, 'x')); }),
            "put_string, erreur = 110");
  auto realMs = std::chrono::duration_cast<std::chrono::milliseconds>(
                    std::chrono::steady_clock::now() - start)
                    .count();
  EXPECT_GE(realMs, SerialPorts::kWriteLimitMs - 50);
  EXPECT_LE(realMs, SerialPorts::kWriteLimitMs + 500);
}

TEST_F(SerialFixture, DiscardInputDropsWhatCameLate) {
  Pty pty;
  ports.OpenCom(1, pty.slave);
  pty.Send(std::string(600, 'x'));  // more than one read's worth
  ::usleep(20000);
  ports.DiscardInput(1);
  EXPECT_EQ(ports.ReadQueued(1), "");
  pty.Send("12:00:00#");
  ::usleep(20000);
  EXPECT_EQ(ports.ReadQueued(1), "12:00:00#");
  EXPECT_EQ(loop.NowMs(), 0);  // neither waits on the loop
}

}  // namespace
}  // namespace orniva
