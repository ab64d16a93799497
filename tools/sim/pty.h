// The device's end of a pseudo-terminal pair. It holds the terminal side open as well, so
// the tool opening and closing its port never hangs the line up (no EIO or hang-up loop on
// the device's end while no tool is attached).
#pragma once

#include <QString>

namespace sim {

class TPty {
  public:
    TPty();  // throws std::runtime_error
    ~TPty();
    TPty(const TPty&) = delete;
    TPty& operator=(const TPty&) = delete;

    int Master() const { return mMaster; }
    // The path the tool opens, e.g. /dev/pts/3.
    const QString& Path() const { return mPath; }
    // Bytes sent to the tool that it has not read yet.
    int Unread() const;
    // The device goes away: the tool's reads and writes fail from now on.
    void Close();

  private:
    int mMaster = -1;
    int mTerminal = -1;
    QString mPath;
};

}  // namespace sim
