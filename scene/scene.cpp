#include "scene.h"

#include "abstractgraphicsutility.h"

#include <QClipboard>
#include <QGraphicsItem>
#include <QGraphicsSceneMouseEvent>
#include <QGuiApplication>
#include <QMimeData>
#include <QUndoStack>

namespace {
const char *const ClipboardFormat = "SCENE";
}

Scene::Scene(QObject *parent)
    : AbstractGraphicsScene(parent)
    , m_undoStack(new QUndoStack(this))
{
    m_undoStack->setUndoLimit(50);
    setBackgroundPixmap(AbstractGraphicsUtility::bmpDir() + QStringLiteral("default.bmp"));
    setBackgroundColor(Qt::black);
    setSceneRect(0, 0, 1920, 1080);
}

Scene::~Scene() = default;

bool Scene::canPaste() const
{
    const QMimeData *data = QGuiApplication::clipboard()->mimeData(QClipboard::Clipboard);
    return data && data->hasFormat(QLatin1String(ClipboardFormat));
}

void Scene::mouseMoveEvent(QGraphicsSceneMouseEvent *event)
{
    emit posChanged(event->scenePos());
    AbstractGraphicsScene::mouseMoveEvent(event);
}

// The editing operations below are filled in together with the undo commands; until then
// they leave the scene unchanged.
void Scene::remove() {}
void Scene::copy() {}
void Scene::cut() {}
void Scene::paste(QPointF) {}
void Scene::alignmentLeft() {}
void Scene::alignmentRight() {}
void Scene::alignmentTop() {}
void Scene::alignmentBottom() {}
void Scene::alignmentHCenter() {}
void Scene::alignmentVCenter() {}
void Scene::equalWidth() {}
void Scene::equalHeight() {}
void Scene::equalHCross() {}
void Scene::equalVCross() {}
void Scene::bringToFront() {}
void Scene::sendToBack() {}
void Scene::layerUpper() {}
void Scene::layerLower() {}
void Scene::setLock(bool) {}
void Scene::createGroup() {}
void Scene::destroyGroup() {}
void Scene::exportGroup(QGraphicsItem *) {}
void Scene::replaceVariables(QList<AbstractGraphicsUtility *>) {}

QList<AbstractGraphicsUtility *> Scene::utilityItems(QList<QGraphicsItem *> items)
{
    QList<AbstractGraphicsUtility *> result;
    for (QGraphicsItem *item : items) {
        if (auto *u = dynamic_cast<AbstractGraphicsUtility *>(item))
            result.append(u);
    }
    return result;
}
