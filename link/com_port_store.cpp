// The component's saved settings in the settings store.
#include "link/com_port.h"
#include "link/settings_store.h"

namespace {

// "HKEY_LOCAL_MACHINE\Software\Selvik" + the component's name -> the full key path; the
// root is matched without regard to case. Empty for an unknown root.
QString FullKeyPath(const QString& path, const QString& name) {
    static const QStringList roots = {"HKEY_LOCAL_MACHINE", "HKEY_CURRENT_USER"};
    const int cut = path.indexOf('\\');
    const int root = MatchText(roots, cut < 0 ? path : path.left(cut));
    if (root < 0) return {};
    const QString rest = cut < 0 ? QString() : path.mid(cut + 1);
    return TSettingsStore::KeyPath(roots[root], TSettingsStore::KeyPath(rest, name));
}

TRegValue StringValue(const QString& name, const QString& text) {
    TRegValue v;
    v.Name = name;
    v.Type = TRegValueType::String;
    v.Text = text;
    return v;
}

}  // namespace

void TComPort::WriteSettings(const QString& path) {
    const QString key = FullKeyPath(path, Name());
    const TComSettings& s = mSettings;
    QList<TRegValue> values = {
        StringValue("Port", s.Port),
        StringValue("BaudRate", SettingText(s, TComProperty::cpBaudRate)),
    };
    if (s.BaudRate == brCustom) {
        TRegValue custom;
        custom.Name = "CustomBaudRate";
        custom.Type = TRegValueType::DWord;
        custom.Number = quint32(s.CustomBaudRate);
        values.append(custom);
    }
    values.append(StringValue("StopBits", SettingText(s, TComProperty::cpStopBits)));
    values.append(StringValue("DataBits", SettingText(s, TComProperty::cpDataBits)));
    values.append(StringValue("Parity", SettingText(s, TComProperty::cpParity)));
    values.append(StringValue("FlowControl", SettingText(s, TComProperty::cpFlowControl)));

    const bool saved = !key.isEmpty() && TSettingsStore().Modify([&](TRegistryFile& file) {
        TRegKey& k = file.CreateKey(key);
        for (const TRegValue& v : values) k.Set(v);
    });
    if (!saved) throw EComPort(ComError::StoreFailed);
}

void TComPort::ReadSettings(const QString& path) {
    const QString keyPath = FullKeyPath(path, Name());
    TRegistryFile file;
    if (keyPath.isEmpty() || !TSettingsStore().Read(file)) throw EComPort(ComError::LoadFailed);
    const TRegKey* key = file.FindKey(keyPath);

    // A missing value reads as empty; a value of another type is an error.
    auto readString = [&](const char* name) -> QString {
        const TRegValue* v = key ? key->Find(name) : nullptr;
        if (!v) return {};
        if (v->Type != TRegValueType::String) throw EComPort(ComError::LoadFailed);
        return v->Text;
    };
    // Each value goes into the port as it is read; nothing is rolled back on an error.
    auto apply = [this](const std::function<void(TComSettings&)>& change) {
        TComSettings s = mSettings;
        change(s);
        SetSettings(s);
    };
    auto matched = [](const QStringList& items, const QString& text, const char* fallback) {
        const int i = MatchText(items, text);
        return i >= 0 ? i : items.indexOf(fallback);
    };

    const QString port = readString("Port");
    apply([&](TComSettings& s) { s.Port = port; });
    const int baud = matched(BaudRateTexts(), readString("BaudRate"), "9600");
    apply([&](TComSettings& s) { s.BaudRate = baud; });
    if (baud == brCustom) {
        const TRegValue* v = key ? key->Find("CustomBaudRate") : nullptr;
        if (!v || v->Type != TRegValueType::DWord) throw EComPort(ComError::LoadFailed);
        apply([&](TComSettings& s) { s.CustomBaudRate = int(v->Number); });
    }
    const int stop = matched(StopBitsTexts(), readString("StopBits"), "1");
    apply([&](TComSettings& s) { s.StopBits = TStopBits(stop); });
    const int data = matched(DataBitsTexts(), readString("DataBits"), "8");
    apply([&](TComSettings& s) { s.DataBits = TDataBits(data); });
    const int parity = matched(ParityTexts(), readString("Parity"), "None");
    apply([&](TComSettings& s) { s.Parity = TParityBits(parity); });
    const int flow = matched(FlowControlTexts(), readString("FlowControl"), "Custom");
    apply([&](TComSettings& s) { ApplyFlowControlText(s.FlowControl, FlowControlTexts()[flow]); });
}
