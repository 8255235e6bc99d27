#ifndef CONNECTIONCHECK_H
#define CONNECTIONCHECK_H

#include <QList>
#include <QPointF>
#include <QString>

class QGraphicsItem;
class QGraphicsScene;

// The check of a diagram's connections: line ends that stop just short of a connection point,
// and connection points of equipment that nothing is connected to. The texts shown to the
// user are made here, and only here.
namespace ConnectionCheck {

// A line end or a connection point this close to another item's connection point is on it.
constexpr double OnDistance = 0.5;
// A line end this close to a connection point that it is not on was meant to reach it.
constexpr double NearDistance = 5.0;

struct Finding
{
    // The line whose end falls short, or the equipment whose connection point is open.
    QGraphicsItem *item = nullptr;
    // The line end or the open connection point, in scene coordinates.
    QPointF point;
    QString text;
};

// Every finding in the scene, in reading order of their points (top to bottom, then left to
// right). Each point is looked up in the scene's index, so the check grows with the number of
// points, not with their square.
QList<Finding> run(const QGraphicsScene &scene);

// What the status bar says after a check that found `count` problems.
QString summary(int count);

} // namespace ConnectionCheck

#endif
