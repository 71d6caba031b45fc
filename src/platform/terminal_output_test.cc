#include "platform/terminal_output.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace {

// A pseudo-terminal of 80 x 24 whose far end the test reads.
class PseudoTerminal {
 public:
  PseudoTerminal() {
    master_ = posix_openpt(O_RDWR | O_NOCTTY);
    grantpt(master_);
    unlockpt(master_);
    slave_ = open(ptsname(master_), O_RDWR | O_NOCTTY);
    termios raw{};
    tcgetattr(slave_, &raw);
    cfmakeraw(&raw);  // no newline translation: the bytes arrive as written
    tcsetattr(slave_, TCSANOW, &raw);
    winsize size{};
    size.ws_col = 80;
    size.ws_row = 24;
    ioctl(slave_, TIOCSWINSZ, &size);
  }
  ~PseudoTerminal() {
    close(slave_);
    close(master_);
  }
  int slave() const { return slave_; }
  std::string Read() {
    std::string text(4096, '\0');
    const ssize_t n = read(master_, text.data(), text.size());
    text.resize(n > 0 ? static_cast<std::size_t>(n) : 0);
    return text;
  }

 private:
  int master_ = -1;
  int slave_ = -1;
};

TEST(TerminalOutputTest, ConsoleCallsBecomeControlSequencesInOrder) {
  PseudoTerminal terminal;
  TerminalOutput out(terminal.slave());
  ASSERT_TRUE(out.IsTerminal());
  platform::ScreenBufferInfo info;
  ASSERT_TRUE(out.ScreenInfo(&info));
  EXPECT_EQ(info.size.column, 80);
  EXPECT_EQ(info.size.row, 24);
  ASSERT_TRUE(out.MoveCursor({0, 0}));
  out.Write(u"caf\u00e9 \xd800\n");  // a lone surrogate becomes U+FFFD
  ASSERT_TRUE(out.EraseToEndOfRow());
  out.Write(u"x\n");
  ASSERT_TRUE(out.ScreenInfo(&info));
  EXPECT_EQ(info.cursor.row, 2);
  ASSERT_TRUE(out.BlankFrom(info.cursor, 80 * 22));
  ASSERT_TRUE(out.Flush());
  EXPECT_EQ(terminal.Read(),
            "\x1b[1;1Hcaf\xc3\xa9 \xef\xbf\xbd\n\x1b[Kx\n\x1b[3;1H\x1b[J\x1b[3;1H");
}

TEST(TerminalOutputTest, RedirectedOutputHasNoConsole) {
  int fds[2];
  ASSERT_EQ(pipe(fds), 0);
  TerminalOutput out(fds[1]);
  platform::ScreenBufferInfo info;
  EXPECT_FALSE(out.ScreenInfo(&info));
  EXPECT_FALSE(out.MoveCursor({0, 0}));
  EXPECT_FALSE(out.EraseToEndOfRow());
  out.Write(u"plain\n");
  ASSERT_TRUE(out.Flush());
  char text[16] = {};
  EXPECT_EQ(read(fds[0], text, sizeof text), 6);
  EXPECT_STREQ(text, "plain\n");
  close(fds[0]);
  close(fds[1]);
}

TEST(TerminalOutputTest, AFailedWriteIsReported) {
  const int full = open("/dev/full", O_WRONLY);
  ASSERT_GE(full, 0);
  TerminalOutput out(full);
  out.Write(u"lost\n");
  EXPECT_FALSE(out.Flush());
  EXPECT_FALSE(out.Flush());  // and stays reported
  close(full);

  int fds[2];
  ASSERT_EQ(pipe(fds), 0);
  close(fds[0]);
  signal(SIGPIPE, SIG_IGN);
  TerminalOutput closed(fds[1]);
  closed.Write(u"nobody reads\n");
  EXPECT_FALSE(closed.Flush());
  EXPECT_TRUE(closed.ReaderGone());
  EXPECT_FALSE(out.ReaderGone());
  close(fds[1]);
}

}  // namespace
