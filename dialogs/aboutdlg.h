#ifndef ABOUTDLG_H
#define ABOUTDLG_H

#include <QDialog>
#include <QString>

class QLabel;

// A frameless picture window: the about box (mode 0) and the start-up progress window
// (mode 1). Up to three centred white lines lie over the lower part of the logo.
class AboutDlg : public QDialog
{
    Q_OBJECT
public:
    AboutDlg(int mode, QWidget *parent);

    void showMessage(const QString &text, int line);
    void showActivated();
    void finish();
    void setAboutText(const QString &title);

    static QString versionText();
    static QString productName();
    // The logo in use for the rest of the run (decided when the first box is built).
    static QString logoPath();

private:
    QLabel *makeLine(int fromBottom);

    QLabel *m_line1;
    QLabel *m_line2;
    QLabel *m_line3;
};

#endif
