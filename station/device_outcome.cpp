#include "station/device_outcome.h"

QString StateWord(TStationState state) {
    switch (state) {
        case TStationState::Idle:
            return "idle";
        case TStationState::Waiting:
            return "waiting";
        case TStationState::Burning:
            return "burning";
        case TStationState::Stopping:
            return "stopping";
        case TStationState::Stopped:
            return "stopped";
        case TStationState::LeftOver:
            return "left_over";
        case TStationState::PortLost:
            return "port_lost";
    }
    return {};
}

QString ResultWord(TDeviceResult result) {
    switch (result) {
        case TDeviceResult::Done:
            return "done";
        case TDeviceResult::TimedOut:
            return "timed_out";
        case TDeviceResult::Stopped:
            return "stopped";
        case TDeviceResult::Lost:
            return "lost";
        case TDeviceResult::Error:
            return "error";
    }
    return {};
}

QString IsoTime(const QDateTime& when) {
    const int offset = when.offsetFromUtc();
    const int minutes = qAbs(offset) / 60;
    return when.toString("yyyy-MM-ddTHH:mm:ss.zzz") + (offset < 0 ? '-' : '+') +
           QString("%1:%2")
               .arg(minutes / 60, 2, 10, QChar('0'))
               .arg(minutes % 60, 2, 10, QChar('0'));
}
