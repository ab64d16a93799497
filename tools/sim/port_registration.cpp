#include "tools/sim/port_registration.h"

#include <cstdio>

#include "link/settings_store.h"

namespace sim {

const char* const kSerialCommKey = "HKEY_LOCAL_MACHINE\\HARDWARE\\DEVICEMAP\\SERIALCOMM";

TPortRegistration::TPortRegistration(QString valueName, const QString& path)
    : mName(std::move(valueName)) {
    TRegValue value;
    value.Name = mName;
    value.Type = TRegValueType::String;
    value.Text = path;
    mOk = TSettingsStore().Modify(
        [&](TRegistryFile& file) { file.CreateKey(kSerialCommKey).Set(value); });
}

TPortRegistration::~TPortRegistration() {
    if (!mOk) return;
    const bool removed = TSettingsStore().Modify(
        [&](TRegistryFile& file) { file.CreateKey(kSerialCommKey).Remove(mName); });
    if (!removed)
        fprintf(stderr, "vardo-sim: could not remove %s from the settings store\n",
                qPrintable(mName));
}

}  // namespace sim
