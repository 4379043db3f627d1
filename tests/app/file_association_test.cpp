// The desktop association of message files, written into a private data home.
#include "app/shell/file_association.h"
#include "app/shell/program_resources.h"
#include "support/pty_pair.h"

#include <QFile>
#include <QImage>

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

QByteArray Contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

TEST(FileAssociation, TheDocumentIconReachesTheIconThemeAsAPngNamedAfterTheMimeType)
{
    TempFolder home;
    setenv("XDG_DATA_HOME", home.Path().c_str(), 1);
    InitProgramResources();
    const QString base = QString::fromStdString(home.Path());
    const QString ico = base + "/file.ico";
    ASSERT_TRUE(ExtractResourceToFile(":/ico/myico", ico));

    EXPECT_TRUE(RegisterFileType("crvm", "/opt/corvella/corvella", ico));
    const QString png = base + "/icons/hicolor/48x48/mimetypes/application-x-corvella-crvm.png";
    const QImage icon(png, "PNG");
    ASSERT_FALSE(icon.isNull());
    EXPECT_EQ(icon.size(), QSize(48, 48));
    EXPECT_TRUE(Contents(base + "/mime/packages/corvella-crvm.xml")
                    .contains("<icon name=\"application-x-corvella-crvm\"/>"));
    EXPECT_TRUE(QFile::exists(ico)); // the ICO stays in the data folder

    EXPECT_FALSE(RegisterFileType("crvm", "/opt/corvella/corvella", ico)) << "nothing changed";
}

} // namespace
