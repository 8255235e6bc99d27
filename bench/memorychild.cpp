#include "memorychild.h"

#include "abstractgraphicsproperty.h"
#include "benchsupport.h"
#include "document/graphicsview.h"
#include "driver.h"
#include "itemkind.h"
#include "plaingraph.h"
#include "scene/editorstate.h"
#include "testsupport.h"

#include <QElapsedTimer>
#include <QGraphicsItem>
#include <QGraphicsView>
#include <QStringList>
#include <QtTest>
#include <cstdio>

using namespace BenchSupport;

int memoryChild(const QString &request)
{
    const QStringList parts = request.split(QLatin1Char('|'));
    const bool plain = parts.value(0) == QLatin1String("plain");
    const int count = parts.value(1).toInt();
    const QString path = parts.value(2);
    const bool withDelete = parts.value(3) == QLatin1String("delete");
    QElapsedTimer clock;
    clock.start();
    auto report = [&clock](long before, long after, const QString &error) {
        if (!error.isEmpty())
            std::printf("MEMORY-ERROR %s\n", qPrintable(error));
        else
            std::printf("MEMORY %ld %ld %lld\n", before, after, clock.elapsed());
        std::fflush(stdout);
        return error.isEmpty() ? 0 : 1;
    };

    if (plain) {
        QGraphicsView probe;
        probe.resize(1200, 800);
        probe.show();
        if (!QTest::qWaitForWindowExposed(&probe))
            return report(0, 0, QStringLiteral("no window"));
        settle();
        const long before = statusKb("VmRSS:");
        clock.start();
        PlainGraph g(count, QSize(1200, 800));
        for (QGraphicsItem *item : qAsConst(g.items))
            item->setSelected(true);
        for (int i = 1; i <= 4; ++i) {
            g.moveAll(g.items, QPointF(4, 3));
            settle();
        }
        g.moveAll(g.items, QPointF(1, 0));
        settle();
        for (QGraphicsItem *item : qAsConst(g.items))
            item->setFlag(QGraphicsItem::ItemIsMovable, false);
        for (QGraphicsItem *item : qAsConst(g.items))
            item->setFlag(QGraphicsItem::ItemIsMovable, true);
        settle();
        g.removeAll(g.items);
        settle();
        g.addAll(g.items);
        settle();
        g.addRecords(PlainGraph::writeRecords(g.items), QPointF(10, 0));
        settle();
        return report(before, statusKb("VmRSS:"), QString());
    }

    TestSupport::isolate("bench_mainwindow_memory");
    EditorState::setCurrentTool(ItemKind::Pointer);
    Driver d;
    settle();
    const long before = statusKb("VmRSS:");
    clock.start();
    bool ok = d.open(path);
    settle();
    ok = ok && d.checkOpened(path, count) && d.prepareView() && d.selectAll();
    settle();
    QPoint at;
    QGraphicsItem *item = ok ? itemNearCentre(d.view(), true, &at) : nullptr;
    if (!item)
        return report(0, 0, d.error.isEmpty() ? QStringLiteral("no selected item to drag") : d.error);
    d.press(at);
    settle();
    for (int i = 1; i <= 4; ++i) {
        d.moveHeld(at + dragStep(i));
        settle();
    }
    d.release(at + dragStep(4));
    settle();
    QTest::keyClick(d.view(), Qt::Key_Right);
    settle();
    // Lock and unlock from the view's context menu; the focus comes back from a closed menu
    // only when the window system gets round to it, so the view takes it back for the keys.
    const QPointF lockAt = item->sceneBoundingRect().center();
    auto *property = dynamic_cast<AbstractGraphicsProperty *>(item);
    for (bool lock : {true, false}) {
        TestSupport::chooseFromContextMenu(*d.view(), lockAt, lock ? QStringLiteral("锁定") : QStringLiteral("解锁"));
        settle();
        if (!property || property->propertyValue(PropertyIds::Lock).toBool() != lock)
            return report(0, 0, QStringLiteral("the context menu did not %1 the items").arg(lock ? "lock" : "unlock"));
    }
    if (!d.prepareView())
        return report(0, 0, d.error);
    if (withDelete) {
        ok = d.command("action_Delete", Qt::Key_Delete);
        settle();
        ok = ok && d.undo();
        settle();
    }
    ok = ok && d.selectAll();
    settle();
    ok = ok && d.command("action_Copy", Qt::Key_C, Qt::ControlModifier);
    settle();
    ok = ok && d.command("action_Paste", Qt::Key_V, Qt::ControlModifier);
    settle();
    const int after = topLevel(d.scene()).size();
    if (ok && after != 2 * count)
        d.fail(QStringLiteral("%1 items after the edits, %2 expected").arg(after).arg(2 * count));
    return report(before, statusKb("VmRSS:"), d.error);
}
