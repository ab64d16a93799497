// SIGINT, SIGTERM and SIGHUP become a readable byte, so the poll loop sees them and the
// simulator ends cleanly (store value and link removed).
#pragma once

namespace sim {

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

}  // namespace sim
