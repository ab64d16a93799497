// TRegistryFile::Parse on any bytes: no crash, and whatever parses is written back in a form
// that parses to the same keys and values and writes back to the same text.
#include <QByteArray>
#include <cstddef>
#include <cstdint>

#include "check.h"
#include "link/registry_file.h"

namespace {

bool SameValue(const TRegValue& a, const TRegValue& b) {
    return a.Name == b.Name && a.Type == b.Type && a.Text == b.Text && a.Number == b.Number &&
           a.Raw == b.Raw;
}

bool SameKey(const TRegKey& a, const TRegKey& b) {
    if (a.Path != b.Path || a.Values.size() != b.Values.size()) return false;
    for (qsizetype i = 0; i < a.Values.size(); ++i) {
        if (!SameValue(a.Values[i], b.Values[i])) return false;
    }
    return true;
}

bool SameKeys(const TRegistryFile& a, const TRegistryFile& b) {
    if (a.Keys().size() != b.Keys().size()) return false;
    for (qsizetype i = 0; i < a.Keys().size(); ++i) {
        if (!SameKey(a.Keys()[i], b.Keys()[i])) return false;
    }
    return true;
}

// Keys, and values within a key, are unique under the names' case-blind comparison.
bool EachFoundByItsName(const TRegistryFile& file) {
    for (const TRegKey& key : file.Keys()) {
        if (file.FindKey(key.Path) != &key) return false;
        for (const TRegValue& value : key.Values) {
            if (key.Find(value.Name) != &value) return false;
        }
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const auto parsed =
        TRegistryFile::Parse(QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)));
    if (!parsed) return 0;
    Check(EachFoundByItsName(*parsed), "keys and values are found by their own names");

    const QByteArray written = parsed->Serialize();
    const auto reread = TRegistryFile::Parse(written);
    Check(reread.has_value(), "the written text parses");
    Check(SameKeys(*parsed, *reread), "the written text gives the same keys and values");
    Check(reread->Serialize() == written, "writing the reread file gives the same text");
    return 0;
}
