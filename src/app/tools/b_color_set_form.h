#pragma once

#include "shell/settings_record.h"

#include <QColor>
#include <QDialog>

#include <array>
#include <cstdint>

class QFrame;
class QLabel;
class QPushButton;

// The colour window: the backgrounds of the three views and the colours of
// received and sent monitor text. The swatches are a working copy that
// reaches the settings only on "Ok".
class TBColorSetForm : public QDialog
{
    Q_OBJECT
public:
    explicit TBColorSetForm(SettingsRecord &settings, QWidget *parent = nullptr);

    static constexpr int kRows = 5;
    // Rows in order: receive window, send window, search window, receive
    // message font, send message font.
    static constexpr std::array<uint32_t, kRows> kDefaults { 0xE6E6E6, 0xF0F0F0, 0xE6E6E6, 0xC80000,
        0x0000C8 };

    std::array<QLabel *, kRows> Labels;
    std::array<QFrame *, kRows> Panels; // swatches: Panel1 .. Panel5
    QPushButton *Button1; // "Default"
    QPushButton *Button2; // "Ok"
    QPushButton *Button3; // "Cancel"

    // Shows the window, or brings it to the front when it is already shown.
    void ShowWindow();
    // Copies the five settings into the swatches.
    void FormShow();
    // Runs the colour chooser for swatch `row` (0-based).
    void PanelClick(int row);
    void Button1Click();
    void Button2Click();

    uint32_t SwatchColor(int row) const;

signals:
    // "Ok" stored new colours: the views take their backgrounds.
    void ColorsStored();

protected:
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void SetSwatch(int row, uint32_t bgr);
    int32_t *SettingOfRow(int row);

    SettingsRecord &settings_;
    std::array<uint32_t, kRows> swatches_ {};
    QColor lastChosen_ = Qt::black; // the chooser opens on it, for the whole run
};
