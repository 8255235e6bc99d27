#ifndef BOXANSWERER_H
#define BOXANSWERER_H

#include <QElapsedTimer>
#include <QObject>
#include <QString>

// Answers the message boxes an action brings up (the export's "导出成功!") as soon as they
// show, and notes when the first one did: the user waits until then.
class BoxAnswerer : public QObject
{
public:
    BoxAnswerer();
    ~BoxAnswerer() override;

    void start() { m_clock.start(); }

    double shownMs = -1;
    QString text;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QElapsedTimer m_clock;
};

#endif
