#include "documentcommands.h"

#include "app/plotwrightform.h"
#include "document/graphicsview.h"
#include "documentkind.h"
#include "filechooser.h"

#include <QAction>
#include <QMdiArea>

DocumentCommands::DocumentCommands(
    const Ui_PlotwrightClass &ui, QWidget *window, std::function<GraphicsView *()> createWindow)
    : QObject(window)
    , m_ui(ui)
    , m_window(window)
    , m_createWindow(std::move(createWindow))
{
    connect(ui.action_NewFromTemplate, &QAction::triggered, this, &DocumentCommands::newFromTemplate);
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
