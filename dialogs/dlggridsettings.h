#ifndef DLGGRIDSETTINGS_H
#define DLGGRIDSETTINGS_H

#include "scene/gridsettings.h"

#include <QDialog>
#include <memory>

namespace Ui {
class DlgGridSettings;
}

// The grid's spacing, whether the views show it, and whether drawing snaps to it and
// connections to the points items offer.
class DlgGridSettings : public QDialog
{
    Q_OBJECT
public:
    DlgGridSettings(const GridSettings &settings, QWidget *parent);
    ~DlgGridSettings() override;

    GridSettings value() const;

private:
    std::unique_ptr<Ui::DlgGridSettings> ui;
};

#endif
