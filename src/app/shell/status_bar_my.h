#pragma once

#include <QStatusBar>

#include <array>

class QLabel;

// The main window's status bar: five text panels (help hint, TX and RX
// counters, caret figures, room for the lamps) and a panel of five lamps for
// the modem lines DTR, RTS, DSR, CTS and RLSD. A lamp is on when its label is
// enabled and greyed when it is off. The timer that fills it is the main window's.
class TStatusBarMY : public QStatusBar
{
    Q_OBJECT
public:
    static constexpr int kPanelCount = 5;
    static constexpr int kIndicatorWidth = 145;
    static constexpr int kIndicatorHeight = 20;

    explicit TStatusBarMY(QWidget *parent = nullptr);

    void SetPanelText(int panel, const QString &text);
    QString PanelText(int panel) const;
    QLabel *Panel(int panel) const;

    void SetLamps(bool dtr, bool rts, bool dsr, bool cts, bool rlsd);

    QWidget *IndicatorPanel() const { return indicatorPanel_; }

signals:
    void DoubleClicked();

protected:
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void CreatePanels();
    void CreateIndicatorPanel();
    QLabel *CreateLamp(const char *name, const QString &text);
    void PlaceIndicatorPanel();

    std::array<QLabel *, kPanelCount> panels_ {};
    QWidget *indicatorPanel_ = nullptr;
    QLabel *lampDtr_ = nullptr;
    QLabel *lampRts_ = nullptr;
    QLabel *lampDsr_ = nullptr;
    QLabel *lampCts_ = nullptr;
    QLabel *lampRlsd_ = nullptr;
};
