#include "driver.h"

#include "app/plotwright.h"
#include "benchsupport.h"
#include "document/graphicsview.h"
#include "testsupport.h"

#include <QAction>
#include <QApplication>
#include <QFileInfo>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMouseEvent>
#include <QtTest>

using namespace BenchSupport;

Driver::Driver()
{
    window = std::make_unique<Plotwright>();
    window->resize(1600, 1000);
    window->show();
    activate();
}

Driver::~Driver()
{
    closeGraph();
}

bool Driver::fail(const QString &why)
{
    if (error.isEmpty())
        error = why;
    return false;
}

bool Driver::activate()
{
    window->activateWindow();
    return QTest::qWaitForWindowActive(window.get()) || fail(QStringLiteral("the main window is not active"));
}

QMdiArea *Driver::area() const
{
    return window->findChild<QMdiArea *>();
}

GraphicsView *Driver::view() const
{
    QMdiSubWindow *sub = area()->activeSubWindow();
    if (!sub)
        sub = area()->currentSubWindow();
    return sub ? qobject_cast<GraphicsView *>(sub->widget()) : nullptr;
}

QGraphicsScene *Driver::scene() const
{
    return view() ? view()->scene() : nullptr;
}

QWidget *Driver::viewport() const
{
    return view()->viewport();
}

QAction *Driver::action(const char *name) const
{
    return window->findChild<QAction *>(QLatin1String(name));
}

bool Driver::command(const char *name, int key, Qt::KeyboardModifiers modifiers)
{
    QAction *a = action(name);
    if (!a)
        return fail(QStringLiteral("no action %1").arg(QLatin1String(name)));
    // A hidden action is disabled as well and has no shortcut; it still runs its slot when
    // triggered, which is all a benchmark of the command can do.
    if (!a->isVisible())
        hiddenUsed << QLatin1String(name);
    else if (!a->isEnabled())
        return fail(QStringLiteral("%1 is disabled").arg(QLatin1String(name)));
    if (key && a->isVisible() && a->shortcuts().contains(QKeySequence(key | int(modifiers))))
        QTest::keyClick(view(), Qt::Key(key), modifiers);
    else
        a->trigger();
    return true;
}

bool Driver::open(const QString &path)
{
    TestSupport::answerFileRequest(path);
    return command("action_OpenGraph");
}

bool Driver::checkOpened(const QString &path, int count)
{
    if (TestSupport::pendingFileAnswers() != 0)
        return fail(QStringLiteral("the open command asked for no file"));
    if (!view() || QFileInfo(view()->currentFile()) != QFileInfo(path))
        return fail(QStringLiteral("%1 is not the active document").arg(path));
    const int opened = topLevel(scene()).size();
    if (opened != count)
        return fail(QStringLiteral("%1 items opened, %2 expected").arg(opened).arg(count));
    return true;
}

bool Driver::prepareView()
{
    if (!activate() || !view())
        return fail(QStringLiteral("no document window"));
    qobject_cast<QMdiSubWindow *>(view()->parentWidget())->showMaximized();
    view()->setFocus();
    settle();
    view()->centerOn(view()->sceneRect().center());
    settle();
    return scene()->hasFocus() || fail(QStringLiteral("the graph does not have the input focus"));
}

void Driver::closeGraph()
{
    if (!window)
        return;
    for (QMdiSubWindow *sub : area()->subWindowList()) {
        if (sub->widget())
            sub->widget()->setWindowModified(false); // discarding, not asking
        sub->close();
    }
    settle();
    deleteLaterNow();
}

void Driver::press(const QPoint &at)
{
    QTest::mousePress(viewport(), Qt::LeftButton, Qt::NoModifier, at);
}

void Driver::release(const QPoint &at)
{
    QTest::mouseRelease(viewport(), Qt::LeftButton, Qt::NoModifier, at);
}

void Driver::moveHeld(const QPoint &at)
{
    QMouseEvent move(QEvent::MouseMove, at, viewport()->mapToGlobal(at), Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(viewport(), &move);
}
