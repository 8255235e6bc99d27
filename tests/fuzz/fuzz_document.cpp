// The document reader on any bytes, as a graph, a template, a clipboard payload and a group
// file. Whatever it accepts must draw, and whatever the editor then makes of it (saved as is,
// pasted far away, drawn with the group tool) must read back: the editor may never write
// what its own reader refuses.
#include "abstractgraphicsscene.h"
#include "formatlimits.h"
#include "fuzzsupport.h"
#include "groupitem.h"
#include "grouptool.h"
#include "librarychoice.h"
#include "scene/scene.h"

#include <QDataStream>
#include <QFile>
#include <QGraphicsItem>
#include <cstddef>
#include <cstdint>

namespace {

QByteArray saved(AbstractGraphicsScene &scene)
{
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    if (scene.save(out) != AbstractGraphicsScene::FILE_SUCCESS)
        FuzzSupport::fail("a scene cannot be saved");
    return bytes;
}

void mustReadBack(AbstractGraphicsScene &scene, const char *what)
{
    const QByteArray bytes = saved(scene);
    AbstractGraphicsScene again;
    QDataStream in(bytes);
    if (again.load(in, true, scene.type(), nullptr, nullptr) != AbstractGraphicsScene::FILE_SUCCESS)
        FuzzSupport::fail(what);
}

void asDocument(const QByteArray &bytes, int type)
{
    AbstractGraphicsScene scene;
    QDataStream in(bytes);
    if (scene.load(in, true, type, nullptr, nullptr) != AbstractGraphicsScene::FILE_SUCCESS)
        return;
    FuzzSupport::render(scene);
    mustReadBack(scene, "a loaded document does not read back");
}

void asClipboard(const QByteArray &bytes)
{
    QDataStream in(bytes);
    QList<QGraphicsItem *> items;
    if (!AbstractGraphicsScene::loadItems(in, true, 0, 13, items, nullptr, nullptr, nullptr))
        return;
    Scene scene;
    for (QGraphicsItem *item : qAsConst(items)) {
        scene.addItem(item);
        item->setSelected(true);
    }
    FuzzSupport::render(scene);
    // Copied back to the clipboard and pasted at the far corners of the drawable range.
    scene.copy();
    const double far = FormatLimits::MaxCoordinate;
    scene.paste(QPointF(far, -far));
    scene.paste(QPointF(-far, far));
    scene.paste(QPointF());
    mustReadBack(scene, "pasted items do not read back");
}

void asGroupFile(const QByteArray &bytes)
{
    {
        QDataStream in(bytes);
        GroupItem *group = GroupItem::read(in);
        if (!group)
            return;
        delete group;
    }
    const int groupType = ItemKind::Group;
    const QString name = QStringLiteral("fuzz.grp");
    const QString path = FuzzSupport::writeTemporary(name, bytes);
    GroupTool::picture(path);
    // The group tool draws from its library folder.
    QFile::remove(LibraryChoice::folder(groupType) + name);
    QFile::copy(path, LibraryChoice::folder(groupType) + name);
    LibraryChoice::choose(groupType, name);
    for (const QPointF &release : {QPointF(310, 220), QPointF(10, 10.5)}) {
        auto *group = new GroupItem;
        if (!group->createFromPoints(nullptr, QPointF(10, 10), release, nullptr)) {
            delete group;
            continue;
        }
        AbstractGraphicsScene scene;
        scene.addItem(group);
        FuzzSupport::render(scene);
        mustReadBack(scene, "a group drawn from a group file does not read back");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzSupport::ensureApplication();
    const QByteArray bytes(reinterpret_cast<const char *>(data), int(size));
    asDocument(bytes, 0);
    asDocument(bytes, 1);
    asClipboard(bytes);
    asGroupFile(bytes);
    return 0;
}
