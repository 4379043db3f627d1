// The status bar: its panels, the modem-line lamps, their placement and the
// double click that resets the counters.
#include "app/shell/status_bar_my.h"

#include <QApplication>
#include <QLabel>
#include <QMouseEvent>

#include <gtest/gtest.h>

#include <ostream>

static void PrintTo(const QString &text, std::ostream *out)
{
    *out << '"' << text.toStdString() << '"';
}

namespace {

QLabel *Lamp(const TStatusBarMY &bar, const char *name)
{
    return bar.findChild<QLabel *>(name);
}

TEST(StatusBarTest, PanelsStartWithTheirTextsAndWidths)
{
    TStatusBarMY bar;
    bar.resize(900, 23); // room for every panel at its full width
    bar.show();
    const std::pair<const char *, int> expected[] = {
        { "F1 for help", 110 },
        { "TX: 65536 ", 100 },
        { "RX: 65536", 100 },
        { "Hex: Ln:     Col:     Sel:       ", 200 },
        { "", 100 },
    };
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(bar.PanelText(i), expected[i].first) << i;
        QLabel *panel = bar.findChild<QLabel *>(QStringLiteral("Panel%1").arg(i));
        ASSERT_NE(panel, nullptr) << i;
        EXPECT_EQ(panel->width(), expected[i].second) << i;
    }
    EXPECT_EQ(bar.objectName(), "StatusBarMY");
    EXPECT_EQ(bar.height(), 23);

    // In a narrow window the panels give way instead of holding the window wide.
    bar.resize(300, 23);
    QApplication::processEvents();
    EXPECT_LE(bar.findChild<QLabel *>("Panel3")->width(), 200);
    EXPECT_LT(bar.minimumSizeHint().width(), 300);
}

TEST(StatusBarTest, PanelTextsChangeOnlyForExistingPanels)
{
    TStatusBarMY bar;
    bar.SetPanelText(2, "RX: 4294967295");
    EXPECT_EQ(bar.PanelText(2), "RX: 4294967295");
    bar.SetPanelText(5, "nowhere");
    bar.SetPanelText(-1, "nowhere");
    EXPECT_EQ(bar.PanelText(5), "");
    EXPECT_EQ(bar.PanelText(0), "F1 for help");
}

TEST(StatusBarTest, LampIsOnWhenItsLabelIsEnabled)
{
    TStatusBarMY bar;
    const char *names[] = { "LampDTR", "LampRTS", "LampDSR", "LampCTS", "LampRLSD" };
    const char *texts[] = { "DTR", "RTS", "DSR", "CTS", "RLSD" };
    for (int i = 0; i < 5; ++i) {
        QLabel *lamp = Lamp(bar, names[i]);
        ASSERT_NE(lamp, nullptr) << names[i];
        EXPECT_EQ(lamp->text(), texts[i]);
        EXPECT_FALSE(lamp->isEnabled()) << names[i] << " starts off";
    }

    bar.SetLamps(true, false, true, false, true);
    const bool on[] = { true, false, true, false, true };
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(Lamp(bar, names[i])->isEnabled(), on[i]) << names[i];

    bar.SetLamps(false, true, false, true, false);
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(Lamp(bar, names[i])->isEnabled(), !on[i]) << names[i];
}

TEST(StatusBarTest, LampLabelsFitTheirPanel)
{
    TStatusBarMY bar;
    bar.resize(800, 23);
    bar.show();
    QApplication::processEvents();
    QWidget *panel = bar.IndicatorPanel();
    EXPECT_EQ(panel->size(), QSize(145, 20));
    for (QLabel *lamp : panel->findChildren<QLabel *>()) {
        const QRect inside = lamp->geometry();
        EXPECT_TRUE(panel->rect().contains(inside)) << lamp->objectName().toStdString();
        EXPECT_LE(lamp->fontMetrics().horizontalAdvance(lamp->text()), inside.width())
            << lamp->objectName().toStdString();
    }
}

TEST(StatusBarTest, LampsKeepToTheRightEdgeWithoutCoveringThePanels)
{
    TStatusBarMY bar;
    bar.show();
    const QLabel *caretPanel = bar.Panel(3);
    const QLabel *reservedPanel = bar.Panel(4);
    for (int width : { 1000, 700, 666, 665, 500, 300, 900 }) {
        SCOPED_TRACE(width);
        bar.resize(width, 23);
        QApplication::processEvents();
        const QRect lamps = bar.IndicatorPanel()->geometry();
        const int reservedLeft = reservedPanel->geometry().left();
        if (width >= 666)
            EXPECT_EQ(lamps.left(), std::max(reservedLeft, width - 145 - 23));
        else
            EXPECT_EQ(lamps.left(), reservedLeft);
        EXPECT_GT(lamps.left(), caretPanel->geometry().right());
        EXPECT_EQ(lamps.top(), 2);
    }
}

TEST(StatusBarTest, DoubleClickAnywhereIsReported)
{
    TStatusBarMY bar;
    bar.resize(800, 23);
    bar.show();
    QApplication::processEvents();
    int clicks = 0;
    QObject::connect(&bar, &TStatusBarMY::DoubleClicked, [&] { ++clicks; });

    for (QWidget *target : { static_cast<QWidget *>(&bar), static_cast<QWidget *>(bar.Panel(2)),
             static_cast<QWidget *>(Lamp(bar, "LampCTS")) }) {
        const QPointF local(3, 3);
        QMouseEvent doubleClick(QEvent::MouseButtonDblClick, local, target->mapToGlobal(local),
            Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &doubleClick);
    }
    EXPECT_EQ(clicks, 3);
}

} // namespace
