// Lists the simulator's device in the settings store's SERIALCOMM key, where the tool looks
// for virtual ports, for as long as the registration lives.
#pragma once

#include <QString>

namespace sim {

extern const char* const kSerialCommKey;

class TPortRegistration {
  public:
    // Sets the string value `valueName` = `path`; Ok() tells whether the store took it.
    TPortRegistration(QString valueName, const QString& path);
    // Removes the value again, leaving everything else in the store as it was.
    ~TPortRegistration();
    TPortRegistration(const TPortRegistration&) = delete;
    TPortRegistration& operator=(const TPortRegistration&) = delete;

    bool Ok() const { return mOk; }

  private:
    QString mName;
    bool mOk = false;
};

}  // namespace sim
