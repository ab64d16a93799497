#include "link/com_combo.h"

#include "app/guard.h"

TComComboBox::TComComboBox(TComPort* port, QWidget* parent) : QComboBox(parent), mPort(port) {
    setMaxVisibleItems(18);
    QObject::connect(this, &QComboBox::activated, this, [this] { Guarded([this] { SelectionChanged(); }); });
}

void TComComboBox::SetComProperty(TComProperty property) {
    mProperty = property;
    QStringList items;
    if (property == TComProperty::cpPort)
        TComPort::ListPorts(items);
    else
        items = ComPropertyItems(property);
    clear();
    addItems(items);
    setCurrentIndex(property == TComProperty::cpNone
                        ? -1
                        : items.indexOf(SettingText(mPort->Settings(), property)));
}

QString TComComboBox::Text() const {
    return currentIndex() < 0 ? QString() : currentText();
}

void TComComboBox::SelectionChanged() {
    if (AutoApply && mProperty != TComProperty::cpNone) {
        TComSettings settings = mPort->Settings();
        ApplySettingText(settings, mProperty, Text());
        mPort->SetSettings(settings);
    }
    if (OnChange) OnChange(this);
}
