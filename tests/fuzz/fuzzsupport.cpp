#include "fuzzsupport.h"

#include "abstractgraphicsutility.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QGraphicsItem>
#include <QGraphicsScene>
#include <QImage>
#include <QPainter>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>

namespace FuzzSupport {

namespace {
QTemporaryDir *s_folder = nullptr;
} // namespace

void ensureApplication()
{
    if (QCoreApplication::instance())
        return;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QStandardPaths::setTestModeEnabled(true);
    // The fuzzer may run for hours: nothing of it may reach the user's project or settings.
    s_folder = new QTemporaryDir;
    qputenv("PLOTWRIGHT_PROJECT_DIR", s_folder->path().toLocal8Bit());
    static int argc = 1;
    static char name[] = "fuzz";
    static char *argv[] = {name, nullptr};
    new QApplication(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("PlotwrightFuzz"));
    AbstractGraphicsUtility::initProject();
    qSetMessagePattern(QStringLiteral("%{if-critical}%{message}%{endif}"));
}

void render(QGraphicsScene &scene)
{
    QImage image(96, 96, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::black);
    QPainter painter(&image);
    scene.render(&painter, QRectF(image.rect()), scene.itemsBoundingRect());
    const QList<QGraphicsItem *> items = scene.items();
    if (!items.isEmpty()) {
        const QPointF corner = items.first()->sceneBoundingRect().topLeft();
        scene.render(&painter, QRectF(image.rect()), QRectF(corner, QSizeF(96, 96)));
    }
}

QString writeTemporary(const QString &name, const QByteArray &bytes)
{
    const QString path = QDir(s_folder->path()).filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        fail("cannot write a temporary file");
    return path;
}

void fail(const char *what)
{
    std::fprintf(stderr, "fuzz: %s\n", what);
    std::abort();
}

} // namespace FuzzSupport
