// A drop-down list bound to one setting of the serial port component.
#pragma once

#include <QComboBox>
#include <functional>

#include "link/com_port.h"

class TComComboBox : public QComboBox {
public:
    TComComboBox(TComPort* port, QWidget* parent);

    TComProperty ComProperty() const { return mProperty; }
    // Refills the items (the ports for cpPort) and selects the port's current value, or
    // nothing if it is not among them.
    void SetComProperty(TComProperty property);

    // The selected item, or empty.
    QString Text() const;
    // Writes Text into the port's setting (AutoApply), then raises OnChange. Also run when
    // the user picks an item.
    void SelectionChanged();

    bool AutoApply = true;
    std::function<void(QObject*)> OnChange;

private:
    TComPort* mPort;
    TComProperty mProperty = TComProperty::cpNone;
};
