#include "documentcommands.h"

#include "app/plotwrightform.h"
#include "document/graphicsview.h"
#include "documentkind.h"
#include "filechooser.h"
#include "scene/scene.h"

#include <QAction>
#include <QMdiArea>
#include <QMdiSubWindow>

DocumentCommands::DocumentCommands(
    const Ui_PlotwrightClass &ui, QWidget *window, std::function<GraphicsView *()> createWindow)
    : QObject(window)
    , m_ui(ui)
    , m_window(window)
    , m_createWindow(std::move(createWindow))
{
    connect(ui.action_NewFromTemplate, &QAction::triggered, this, &DocumentCommands::newFromTemplate);
    connect(ui.action_ClearBackgroundPixmap, &QAction::triggered, this, &DocumentCommands::clearBackgroundPixmap);
}

GraphicsView *DocumentCommands::activeView() const
{
    QMdiSubWindow *window = m_ui.mdiArea->activeSubWindow();
    return window ? qobject_cast<GraphicsView *>(window->widget()) : nullptr;
}

void DocumentCommands::newFromTemplate()
{
    const DocumentKind &kind = DocumentKind::of(DocumentKind::Template);
    const QString file = FileChooser::openFileName(m_window, QStringLiteral("从模板新建"), kind.folder(), kind.filter);
    if (file.isEmpty())
        return;
    GraphicsView *view = m_createWindow();
    if (!view->copyTemplate(file)) {
        view->close();
        return;
    }
    m_ui.mdiArea->addSubWindow(view);
    view->show();
}

// Like setting a picture, outside the undo history.
void DocumentCommands::clearBackgroundPixmap()
{
    GraphicsView *view = activeView();
    if (!view || view->documentScene()->backgroundPixmap().isEmpty())
        return;
    view->documentScene()->setBackgroundPixmap(QString());
    view->markChangedOutsideHistory();
    // The export reads the file, which no longer shows the document.
    m_ui.action_svgFile->setEnabled(false);
}
