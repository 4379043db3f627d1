#include "app/shell/icons.h"
#include "support/pty_pair.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QImage>
#include <QPixmap>
#include <QSet>

namespace {

int OpaquePixels(const QImage &image)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x)
            count += qAlpha(image.pixel(x, y)) > 0 ? 1 : 0;
    }
    return count;
}

// Makes `name` the desktop's icon theme for the test, with one image in it.
class ScopedTheme
{
public:
    ScopedTheme(const QString &folder, const QString &iconName, const QColor &color)
        : paths_(QIcon::themeSearchPaths())
        , name_(QIcon::themeName())
    {
        QDir(folder).mkpath("testtheme/24x24/actions");
        QFile index(folder + "/testtheme/index.theme");
        index.open(QIODevice::WriteOnly);
        index.write("[Icon Theme]\nName=Test\nDirectories=24x24/actions\n\n"
                    "[24x24/actions]\nSize=24\nContext=Actions\nType=Fixed\n");
        index.close();
        QImage image(24, 24, QImage::Format_ARGB32);
        image.fill(color);
        image.save(folder + "/testtheme/24x24/actions/" + iconName + ".png");
        QIcon::setThemeSearchPaths({ folder });
        QIcon::setThemeName("testtheme");
    }
    ~ScopedTheme()
    {
        QIcon::setThemeSearchPaths(paths_);
        QIcon::setThemeName(name_);
    }

private:
    QStringList paths_;
    QString name_;
};

} // namespace

// Every command has a drawing of its own that renders at the tool-bar size and
// at twice that; no two commands share one.
TEST(Icons, EveryKindHasItsOwnDrawingAtOneAndTwoTimesTheSize)
{
    QSet<QByteArray> seen;
    for (IconKind kind : AllIconKinds()) {
        const QIcon icon = BuiltInIcon(kind);
        ASSERT_FALSE(icon.isNull()) << int(kind);
        for (int size : { 20, 40 }) {
            const QImage image = icon.pixmap(size, size).toImage();
            EXPECT_EQ(image.size(), QSize(size, size)) << int(kind);
            EXPECT_GT(OpaquePixels(image), size * size / 20) << int(kind) << " at " << size;
        }
        const QImage small = icon.pixmap(20, 20).toImage().convertToFormat(QImage::Format_ARGB32);
        const QByteArray bytes(
            reinterpret_cast<const char *>(small.constBits()), small.sizeInBytes());
        EXPECT_FALSE(seen.contains(bytes)) << "same drawing as another command: " << int(kind);
        seen.insert(bytes);
    }
    for (const QIcon &icon : { ApplicationIcon(), DocumentIcon() })
        EXPECT_GT(OpaquePixels(icon.pixmap(48, 48).toImage()), 48 * 48 / 4);
}

// A theme image is used for an action with a standard name; commands without
// one keep our drawing.
TEST(Icons, DesktopThemeWinsWhereItHasTheAction)
{
    TempFolder folder;
    ScopedTheme theme(QString::fromStdString(folder.Path()), "document-save", Qt::red);

    const QImage save = MakeIcon(IconKind::Save).pixmap(24, 24).toImage();
    EXPECT_EQ(save.pixelColor(12, 12), QColor(Qt::red));

    const QImage ours = BuiltInIcon(IconKind::PortOpen).pixmap(20, 20).toImage();
    EXPECT_EQ(MakeIcon(IconKind::PortOpen).pixmap(20, 20).toImage(), ours);
    EXPECT_NE(
        MakeIcon(IconKind::Find).pixmap(20, 20).toImage().pixelColor(10, 10), QColor(Qt::red));
}
