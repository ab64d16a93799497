#include "tools/sim/pty.h"

#include <fcntl.h>
#include <stdlib.h>
#include <string.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <stdexcept>
#include <string>

namespace sim {

namespace {

[[noreturn]] void Fail(const char* what) {
    throw std::runtime_error(std::string(what) + ": " + strerror(errno));
}

}  // namespace

TPty::TPty() {
    mMaster = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (mMaster < 0) Fail("no pseudo-terminal");
    if (grantpt(mMaster) != 0 || unlockpt(mMaster) != 0) Fail("pseudo-terminal not unlocked");
    const char* name = ptsname(mMaster);
    if (!name) Fail("pseudo-terminal has no name");
    mPath = QString::fromLocal8Bit(name);
    mTerminal = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (mTerminal < 0) Fail("pseudo-terminal not opened");
    // Raw: bytes pass untouched, with no echo and no line-end mapping.
    termios tio{};
    if (tcgetattr(mTerminal, &tio) != 0) Fail("terminal settings not read");
    cfmakeraw(&tio);
    if (tcsetattr(mTerminal, TCSANOW, &tio) != 0) Fail("terminal settings not set");
    if (fcntl(mMaster, F_SETFL, fcntl(mMaster, F_GETFL) | O_NONBLOCK) != 0)
        Fail("pseudo-terminal not made non-blocking");
}

TPty::~TPty() {
    Close();
}

int TPty::Unread() const {
    int count = 0;
    if (mTerminal < 0 || ioctl(mTerminal, FIONREAD, &count) != 0) return 0;
    return count;
}

void TPty::Close() {
    if (mMaster >= 0) ::close(mMaster);
    if (mTerminal >= 0) ::close(mTerminal);
    mMaster = mTerminal = -1;
}

}  // namespace sim
