// The port settings the component holds, and their texts as the settings boxes and the
// saved settings show them.
#pragma once

#include <QString>
#include <QStringList>

enum class TComProperty { cpNone, cpPort, cpBaudRate, cpDataBits, cpStopBits, cpParity, cpFlowControl };

// Index into BaudRateTexts(); 0 is "Custom", the port's custom rate.
using TBaudRate = int;
constexpr TBaudRate brCustom = 0;

enum class TStopBits { sbOneStopBit, sbOne5StopBits, sbTwoStopBits };
enum class TDataBits { dbFive, dbSix, dbSeven, dbEight };
enum class TParityBits { prNone, prOdd, prEven, prMark, prSpace };
enum class TRTSFlowControl { rtsDisable, rtsEnable, rtsHandshake };

struct TComFlowControl {
    TRTSFlowControl FlowRTS = TRTSFlowControl::rtsDisable;
    bool OutCTSFlow = false;
    bool XonXoffIn = false;
    bool XonXoffOut = false;
};

struct TComSettings {
    QString Port = "COM1";
    TBaudRate BaudRate = 13;  // "57600"
    int CustomBaudRate = 9600;
    TDataBits DataBits = TDataBits::dbEight;
    TStopBits StopBits = TStopBits::sbOneStopBit;
    TParityBits Parity = TParityBits::prNone;
    TComFlowControl FlowControl;
};

const QStringList& BaudRateTexts();
const QStringList& StopBitsTexts();
const QStringList& DataBitsTexts();
const QStringList& ParityTexts();
const QStringList& FlowControlTexts();  // "Hardware", "Software", "None", "Custom"

// The fixed item list of a setting (empty for cpNone and cpPort, whose items are the ports).
const QStringList& ComPropertyItems(TComProperty property);

// The line rate in baud that a setting stands for.
int BaudRateValue(const TComSettings& settings);

// "Hardware", "Software", "None" or "Custom", derived from the lines.
QString FlowControlText(const TComFlowControl& flow);
// Sets the lines for "Hardware", "Software" or "None"; "Custom" leaves them as they are.
void ApplyFlowControlText(TComFlowControl& flow, const QString& text);

// A setting's current text; empty for cpNone.
QString SettingText(const TComSettings& settings, TComProperty property);
// Writes a text into a setting; a text that is not one of the setting's items changes
// nothing and returns false. Port names are taken as they are.
bool ApplySettingText(TComSettings& settings, TComProperty property, const QString& text);

// Index of `text` in `items`, whole text, case ignored; -1 when absent.
int MatchText(const QStringList& items, const QString& text);
