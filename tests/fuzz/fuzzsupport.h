#ifndef FUZZSUPPORT_H
#define FUZZSUPPORT_H

#include <QByteArray>
#include <QString>

class QGraphicsScene;

// What every fuzz target needs: a headless application with a project folder of its own,
// and a cheap render of whatever was read, since many faults only show when drawing.
namespace FuzzSupport {

void ensureApplication();
// Draws the scene twice into a small image: all of it scaled down, and the corner of its
// first item at full size.
void render(QGraphicsScene &scene);
// A file of the given name in the fuzzer's own folder holding the bytes.
QString writeTemporary(const QString &name, const QByteArray &bytes);
// Stops at once with a message: the input found a fault that is not a crash.
[[noreturn]] void fail(const char *what);

} // namespace FuzzSupport

#endif
