#include "aboutdlg.h"

#include "apptexts.h"

#include <QFileInfo>
#include <QImageReader>
#include <QLabel>

namespace {
constexpr int LineHeight = 35;
}

QString AboutDlg::versionText()
{
    static const QString text = QStringLiteral("Version %1").arg(QStringLiteral("3.0.2018.0316"), 0, QLatin1Char(' '));
    return text;
}

QString AboutDlg::productName()
{
    static const QString name;
    return name;
}

QString AboutDlg::logoPath()
{
    static const QString path = [] {
        QString p = applicationDir() + QStringLiteral("\\Project\\logo.bmp");
        p.replace(QLatin1Char('\\'), QLatin1Char('/'));
        if (!QFileInfo::exists(p))
            p = QStringLiteral(":/aboutapp/default_logo.bmp");
        return p;
    }();
    return path;
}

AboutDlg::AboutDlg(int mode, QWidget *parent)
    : QDialog(parent)
{
    const QString logo = logoPath();
    QSize size = QImageReader(logo).size();
    if (!size.isValid())
        size = QSize(550, 421);
    resize(size);
    setStyleSheet(QStringLiteral("QDialog{background-image:url(") + logo + QStringLiteral(")}"));

    if (mode == 0) {
        setWindowFlags(Qt::Popup);
        setAttribute(Qt::WA_DeleteOnClose);
    } else if (mode == 1) {
        setWindowFlags(Qt::SplashScreen);
    }

    m_line1 = makeLine(1);
    m_line2 = makeLine(2);
    m_line3 = makeLine(3);
    m_line3->hide();
}

QLabel *AboutDlg::makeLine(int fromBottom)
{
    auto *label = new QLabel(this);
    label->setGeometry(0, height() - fromBottom * LineHeight, width(), LineHeight);
    label->setAlignment(Qt::AlignCenter);
    label->setStyleSheet(QStringLiteral("color:white;font:16pt"));
    return label;
}

void AboutDlg::showMessage(const QString &text, int line)
{
    QLabel *label = line == 0 ? m_line1 : m_line2;
    label->setText(text);
    // Paint now: during start-up the caller keeps the event loop busy.
    label->repaint();
}

void AboutDlg::showActivated()
{
    show();
    activateWindow();
}

void AboutDlg::finish()
{
    accept();
}

void AboutDlg::setAboutText(const QString &title)
{
    m_line3->setText(title);
    m_line3->show();
    m_line2->setText(versionText());
    m_line1->setText(QStringLiteral("%1 %2").arg(productName(), companyName()));
}
