#include "app/signal_pipe.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <stdexcept>

namespace {

int gWrite = -1;

void OnSignal(int) {
    const char byte = 1;
    // Nothing to do when the pipe is full: a byte is already waiting.
    [[maybe_unused]] ssize_t n = ::write(gWrite, &byte, 1);
}

}  // namespace

TSignalPipe::TSignalPipe() {
    int fds[2];
    if (pipe2(fds, O_CLOEXEC | O_NONBLOCK) != 0) throw std::runtime_error("no signal pipe");
    mRead = fds[0];
    gWrite = fds[1];
    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int sig : {SIGINT, SIGTERM, SIGHUP}) sigaction(sig, &action, nullptr);
}

TSignalPipe::~TSignalPipe() {
    for (int sig : {SIGINT, SIGTERM, SIGHUP}) signal(sig, SIG_DFL);
    ::close(gWrite);
    ::close(mRead);
    gWrite = -1;
}
