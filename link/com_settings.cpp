#include "link/com_settings.h"

const QStringList& BaudRateTexts() {
    // The order is the component's own; it is not ascending at the end.
    static const QStringList texts = {
        "Custom",  "110",     "300",     "600",     "1200",    "2400",    "4800",
        "9600",    "14400",   "19200",   "28800",   "38400",   "56000",   "57600",
        "76800",   "115200",  "128000",  "230400",  "250000",  "256000",  "460800",
        "500000",  "576000",  "921600",  "625000",  "125000",  "345600",  "691200",
        "1020833", "1225000", "1531250", "2041667", "3062500", "6125000"};
    return texts;
}

const QStringList& StopBitsTexts() {
    static const QStringList texts = {"1", "1.5", "2"};
    return texts;
}

const QStringList& DataBitsTexts() {
    static const QStringList texts = {"5", "6", "7", "8"};
    return texts;
}

const QStringList& ParityTexts() {
    static const QStringList texts = {"None", "Odd", "Even", "Mark", "Space"};
    return texts;
}

const QStringList& FlowControlTexts() {
    static const QStringList texts = {"Hardware", "Software", "None", "Custom"};
    return texts;
}

const QStringList& ComPropertyItems(TComProperty property) {
    static const QStringList none;
    switch (property) {
        case TComProperty::cpBaudRate:
            return BaudRateTexts();
        case TComProperty::cpDataBits:
            return DataBitsTexts();
        case TComProperty::cpStopBits:
            return StopBitsTexts();
        case TComProperty::cpParity:
            return ParityTexts();
        case TComProperty::cpFlowControl:
            return FlowControlTexts();
        case TComProperty::cpNone:
        case TComProperty::cpPort:
            break;
    }
    return none;
}

int BaudRateValue(const TComSettings& settings) {
    if (settings.BaudRate == brCustom) return settings.CustomBaudRate;
    return BaudRateTexts().value(settings.BaudRate).toInt();
}

QString FlowControlText(const TComFlowControl& flow) {
    const bool xon = flow.XonXoffIn || flow.XonXoffOut;
    if (flow.FlowRTS == TRTSFlowControl::rtsHandshake && flow.OutCTSFlow && !xon)
        return "Hardware";
    if (flow.FlowRTS == TRTSFlowControl::rtsDisable && !flow.OutCTSFlow) {
        if (flow.XonXoffIn && flow.XonXoffOut) return "Software";
        if (!xon) return "None";
    }
    return "Custom";
}

void ApplyFlowControlText(TComFlowControl& flow, const QString& text) {
    if (text == "Hardware") {
        flow = {TRTSFlowControl::rtsHandshake, true, false, false};
    } else if (text == "Software") {
        flow = {TRTSFlowControl::rtsDisable, false, true, true};
    } else if (text == "None") {
        flow = {TRTSFlowControl::rtsDisable, false, false, false};
    }
}

QString SettingText(const TComSettings& s, TComProperty property) {
    switch (property) {
        case TComProperty::cpPort:
            return s.Port;
        case TComProperty::cpBaudRate:
            return BaudRateTexts().value(s.BaudRate);
        case TComProperty::cpDataBits:
            return DataBitsTexts().value(int(s.DataBits));
        case TComProperty::cpStopBits:
            return StopBitsTexts().value(int(s.StopBits));
        case TComProperty::cpParity:
            return ParityTexts().value(int(s.Parity));
        case TComProperty::cpFlowControl:
            return FlowControlText(s.FlowControl);
        case TComProperty::cpNone:
            break;
    }
    return {};
}

bool ApplySettingText(TComSettings& s, TComProperty property, const QString& text) {
    if (property == TComProperty::cpPort) {
        s.Port = text;
        return true;
    }
    const int index = ComPropertyItems(property).indexOf(text);
    if (index < 0) return false;
    switch (property) {
        case TComProperty::cpBaudRate:
            s.BaudRate = index;
            break;
        case TComProperty::cpDataBits:
            s.DataBits = TDataBits(index);
            break;
        case TComProperty::cpStopBits:
            s.StopBits = TStopBits(index);
            break;
        case TComProperty::cpParity:
            s.Parity = TParityBits(index);
            break;
        case TComProperty::cpFlowControl:
            ApplyFlowControlText(s.FlowControl, text);
            break;
        case TComProperty::cpNone:
        case TComProperty::cpPort:
            break;
    }
    return true;
}

int MatchText(const QStringList& items, const QString& text) {
    for (int i = 0; i < items.size(); ++i) {
        if (items[i].compare(text, Qt::CaseInsensitive) == 0) return i;
    }
    return -1;
}
