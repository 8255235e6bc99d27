#ifndef DLGENVSETTINGS_H
#define DLGENVSETTINGS_H

#include <QDialog>
#include <QRectF>
#include <memory>

namespace Ui {
class DlgEnvSettings;
}

// Canvas size of a graph or template: width and height in whole pixels.
class DlgEnvSettings : public QDialog
{
    Q_OBJECT
public:
    DlgEnvSettings(const QRectF &sceneRect, QWidget *parent);
    ~DlgEnvSettings() override;

    // The chosen canvas, always at the origin.
    QRectF rect() const;

private:
    std::unique_ptr<Ui::DlgEnvSettings> ui;
};

#endif
