// SIGINT, SIGTERM and SIGHUP become a readable byte on a pipe, so that a program's own loop
// sees them and ends cleanly instead of being cut off inside a write.
#pragma once

class TSignalPipe {
  public:
    TSignalPipe();  // throws std::runtime_error
    ~TSignalPipe();
    TSignalPipe(const TSignalPipe&) = delete;
    TSignalPipe& operator=(const TSignalPipe&) = delete;

    // Readable once one of the signals has come.
    int Fd() const { return mRead; }

  private:
    int mRead = -1;
};
