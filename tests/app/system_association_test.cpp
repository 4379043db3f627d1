#include "app/shell/file_association.h"
#include "support/pty_pair.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include <cstdlib>
#include <string>

namespace {

// Points $XDG_DATA_HOME and $XDG_DATA_DIRS at temporary folders for one test.
class DataDirs : public testing::Test
{
protected:
    DataDirs()
    {
        for (const char *name : { "XDG_DATA_HOME", "XDG_DATA_DIRS" }) {
            const char *value = std::getenv(name);
            saved_.push_back({ name, value ? std::optional<std::string>(value) : std::nullopt });
        }
        setenv("XDG_DATA_HOME", home.Path().c_str(), 1);
        setenv("XDG_DATA_DIRS", (system.Path() + ":/nonexistent").c_str(), 1);
    }
    ~DataDirs() override
    {
        for (const auto &[name, value] : saved_) {
            if (value)
                setenv(name, value->c_str(), 1);
            else
                unsetenv(name);
        }
    }

    bool InHome(const std::string &file) const
    {
        return QFile::exists(QString::fromStdString(home.Path() + file));
    }

    void InstallSystemWide() const
    {
        const QString root = QString::fromStdString(system.Path());
        QDir(root).mkpath("mime/packages");
        QDir(root).mkpath("applications");
        for (const QString &file : { root + "/mime/packages/corvella-crvm.xml",
                 root + "/applications/corvella.desktop" }) {
            QFile f(file);
            f.open(QIODevice::WriteOnly);
        }
    }

    TempFolder home;
    TempFolder system;

private:
    std::vector<std::pair<const char *, std::optional<std::string>>> saved_;
};

} // namespace

// Run from a build folder, the program associates its files for the user;
// once a package provides the association, it writes nothing and removes the
// copy that would hide the installed one.
TEST_F(DataDirs, PerUserAssociationOnlyWithoutASystemOne)
{
    EXPECT_FALSE(SystemAssociationExists("crvm"));
    EXPECT_TRUE(RegisterFileType("crvm", "/home/u/build/corvella", "/home/u/file.ico"));
    EXPECT_TRUE(InHome("mime/packages/corvella-crvm.xml"));
    EXPECT_TRUE(InHome("applications/corvella.desktop"));

    InstallSystemWide();
    EXPECT_TRUE(SystemAssociationExists("crvm"));
    EXPECT_FALSE(RegisterFileType("crvm", "/usr/bin/corvella", "/home/u/file.ico"));
    EXPECT_FALSE(InHome("mime/packages/corvella-crvm.xml"));
    EXPECT_FALSE(InHome("applications/corvella.desktop"));

    EXPECT_FALSE(RegisterFileType("crvm", "/usr/bin/corvella", "/home/u/file.ico"));
    EXPECT_FALSE(InHome("applications/corvella.desktop"));
}
