#ifndef PUSHGRAPHSETTINGS_H
#define PUSHGRAPHSETTINGS_H

#include <QSize>
#include <QString>

// How the run-time client shows a pushed graph, as kept in DlgPushGraphProperty.ini in the
// project folder. Other programs write that file too, so every value is clamped into its
// range when read; the dialog's editors offer the same ranges.
struct PushGraphSettings
{
    // Modes: 0 not modal, 1 modal.
    static constexpr int ModeCount = 2;
    static constexpr int MinSide = 100;
    static constexpr int MaxSide = 2048;
    // Seconds the window stays (0: until closed).
    static constexpr int MaxTime = 3600;

    int mode = 0;
    QSize size = QSize(800, 600);
    int time = 5;

    static PushGraphSettings read(const QString &iniPath);
    // False when the file could not be written (it then keeps what it had), `why` telling why.
    bool write(const QString &iniPath, QString *why = nullptr) const;
};

#endif
