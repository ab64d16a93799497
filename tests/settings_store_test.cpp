#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QFile>
#include <QTemporaryDir>

#include "link/settings_store.h"

namespace {

class SettingsStore : public ::testing::Test {
protected:
    QString Path() const { return mDir.path() + "/Vardo/registry.reg"; }
    void WriteFile(const QByteArray& bytes) {
        QDir().mkpath(mDir.path() + "/Vardo");
        QFile f(Path());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    QByteArray ReadFile() {
        QFile f(Path());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    static void SetString(TRegistryFile& file, const QString& key, const QString& name,
                          const QString& text) {
        TRegValue v;
        v.Name = name;
        v.Text = text;
        file.CreateKey(key).Set(v);
    }

    QTemporaryDir mDir;
};

}  // namespace

TEST_F(SettingsStore, DefaultPathFollowsXdgConfigHome) {
    qputenv("XDG_CONFIG_HOME", mDir.path().toUtf8());
    EXPECT_EQ(TSettingsStore::DefaultPath(), Path());
}

TEST_F(SettingsStore, MissingFileReadsEmptyAndIsCreatedOnWrite) {
    TSettingsStore store(Path());
    TRegistryFile file;
    ASSERT_TRUE(store.Read(file));
    EXPECT_TRUE(file.Keys().isEmpty());
    ASSERT_TRUE(store.Modify([](TRegistryFile& f) { SetString(f, "HKEY_CURRENT_USER\\K", "A", "b"); }));
    EXPECT_TRUE(ReadFile().startsWith("Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\K]\n"));
}

TEST_F(SettingsStore, WriteKeepsEveryOtherKeyAndValue) {
    WriteFile(
        "Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\Keep]\n\"X\"=hex(2):41,00\n"
        "\n[HKEY_LOCAL_MACHINE\\K]\n\"A\"=\"old\"\n\"B\"=dword:00000007\n");
    TSettingsStore store(Path());
    ASSERT_TRUE(store.Modify([](TRegistryFile& f) { SetString(f, "hkey_local_machine\\k", "a", "new"); }));
    EXPECT_EQ(ReadFile(),
              "Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\Keep]\n"
              "\"X\"=hex(2):41,00\n\n[HKEY_LOCAL_MACHINE\\K]\n\"A\"=\"new\"\n"
              "\"B\"=dword:00000007\n");
}

TEST_F(SettingsStore, UnparsableFileIsNeverOverwritten) {
    const QByteArray garbage("\x01\x02 not a settings file \xff");
    WriteFile(garbage);
    TSettingsStore store(Path());
    TRegistryFile file;
    EXPECT_FALSE(store.Read(file));
    EXPECT_FALSE(store.Modify([](TRegistryFile& f) { SetString(f, "HKEY_CURRENT_USER\\K", "A", "b"); }));
    EXPECT_EQ(ReadFile(), garbage);
}

TEST_F(SettingsStore, TwoProcessesSavingAtOnceBothSurvive) {
    constexpr int kWrites = 40;
    pid_t children[2];
    for (int c = 0; c < 2; ++c) {
        children[c] = fork();
        if (children[c] == 0) {
            TSettingsStore store(Path());
            bool ok = true;
            for (int i = 0; i < kWrites; ++i) {
                ok &= store.Modify([&](TRegistryFile& f) {
                    SetString(f, QString("HKEY_CURRENT_USER\\P%1").arg(c), QString("V%1").arg(i), "x");
                });
            }
            _exit(ok ? 0 : 1);
        }
    }
    for (pid_t child : children) {
        int status = 0;
        waitpid(child, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    TRegistryFile file;
    ASSERT_TRUE(TSettingsStore(Path()).Read(file));
    for (int c = 0; c < 2; ++c) {
        const TRegKey* key = file.FindKey(QString("HKEY_CURRENT_USER\\P%1").arg(c));
        ASSERT_NE(key, nullptr);
        EXPECT_EQ(key->Values.size(), kWrites);
    }
}
