#include "testsupport.h"

#include "abstractgraphicsutility.h"
#include "app/plotwright.h"
#include "apptexts.h"
#include "cdatalink.h"
#include "document/graphicsview.h"
#include "filechooser.h"
#include "qttreepropertybrowser.h"
#include "safefile.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QDialog>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QGraphicsView>
#include <QInputDialog>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMouseEvent>
#include <QPointer>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <QXmlStreamReader>
#include <csignal>
#include <memory>

namespace TestSupport {

namespace {
std::unique_ptr<QTemporaryDir> s_project;
std::unique_ptr<QTemporaryDir> s_home;
int s_missed = 0;
QList<QTimer *> s_pending;

void finish(QTimer *timer)
{
    s_pending.removeAll(timer);
    timer->stop();
    timer->deleteLater();
}
} // namespace

namespace {
struct FileAnswer
{
    QString path;
    FileRequest *seen;
    std::function<void()> then;
};
QList<FileAnswer> s_fileAnswers;

// A request nobody expected is a failure of the running test, answered as a cancel.
QStringList chooseFromQueue(const FileChooser::Request &request)
{
    if (s_fileAnswers.isEmpty()) {
        QTest::qFail(qPrintable(QStringLiteral("unexpected request for a file name: %1").arg(request.caption)),
            __FILE__, __LINE__);
        return {};
    }
    const FileAnswer answer = s_fileAnswers.takeFirst();
    if (answer.seen)
        *answer.seen = FileRequest{request.caption, request.directory, request.filter};
    if (answer.then)
        answer.then();
    return answer.path.isEmpty() ? QStringList() : QStringList(answer.path);
}

// A modal left open this long has no answer coming: it fails the test and is closed, so the
// suite goes on instead of hanging until CTest's timeout.
constexpr int UnansweredModalMs = 20000;

void watchForUnansweredModals()
{
    auto *timer = new QTimer(qApp);
    auto open = std::make_shared<QPointer<QWidget>>();
    auto clock = std::make_shared<QElapsedTimer>();
    timer->setInterval(100);
    QObject::connect(timer, &QTimer::timeout, [open, clock] {
        QWidget *modal = QApplication::activeModalWidget();
        if (modal != open->data()) {
            *open = modal;
            clock->start();
            return;
        }
        if (!modal || clock->elapsed() < UnansweredModalMs)
            return;
        QTest::qFail(
            qPrintable(QStringLiteral("modal left unanswered: %1").arg(describeBox(modal))), __FILE__, __LINE__);
        if (auto *dialog = qobject_cast<QDialog *>(modal))
            dialog->reject();
        else
            modal->close();
        clock->start();
    });
    timer->start();
}
} // namespace

void isolate(const char *testName)
{
    // Settings, data and caches in a folder of this process's own: two runs of the same test at
    // once (another checkout, a repeat run) never share a settings file or a password file.
    s_home = std::make_unique<QTemporaryDir>();
    for (const char *variable : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME"})
        qputenv(variable, QDir(s_home->path()).filePath(QLatin1String(variable)).toLocal8Bit());
    QCoreApplication::setOrganizationName(QStringLiteral("PlotwrightTest-%1").arg(QLatin1String(testName)));
    s_project = std::make_unique<QTemporaryDir>();
    qputenv("PLOTWRIGHT_PROJECT_DIR", s_project->path().toLocal8Bit());
    FileChooser::setChooser(chooseFromQueue);
    watchForUnansweredModals();
}

void answerFileRequest(const QString &path, FileRequest *seen, std::function<void()> then)
{
    s_fileAnswers.append(FileAnswer{path, seen, std::move(then)});
}

int pendingFileAnswers()
{
    return s_fileAnswers.size();
}

QString projectFolder()
{
    return s_project ? s_project->path() : QString();
}

namespace {
void whenWidget(std::function<QWidget *()> find, std::function<void(QWidget *)> answer, int timeoutMs)
{
    auto *timer = new QTimer(qApp);
    auto clock = std::make_shared<QElapsedTimer>();
    clock->start();
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, clock, find, answer, timeoutMs] {
        if (QWidget *widget = find()) {
            finish(timer);
            answer(widget);
        } else if (clock->elapsed() > timeoutMs) {
            ++s_missed;
            finish(timer);
        }
    });
    s_pending.append(timer);
    timer->start();
}
} // namespace

void whenModal(std::function<void(QWidget *)> answer, int timeoutMs)
{
    whenWidget([] { return QApplication::activeModalWidget(); }, answer, timeoutMs);
}

void whenModals(std::function<void(QWidget *)> answer, int timeoutMs)
{
    whenModal(
        [answer, timeoutMs](QWidget *modal) {
            // Waiting again first: the answer may open the next modal in a nested loop.
            whenModals(answer, timeoutMs);
            answer(modal);
        },
        timeoutMs);
}

void whenPopup(std::function<void(QWidget *)> answer, int timeoutMs)
{
    whenWidget([] { return QApplication::activePopupWidget(); }, answer, timeoutMs);
}

QString describeBox(QWidget *modal)
{
    auto *box = qobject_cast<QMessageBox *>(modal);
    return box ? box->windowTitle() + QLatin1Char('|') + box->text()
               : QStringLiteral("not a message box: %1").arg(QLatin1String(modal->metaObject()->className()));
}

void answerBox(QString *seen, QMessageBox::StandardButton button, std::function<void()> then)
{
    whenModal([seen, button, then](QWidget *modal) {
        *seen = describeBox(modal);
        if (then)
            then();
        auto *box = qobject_cast<QMessageBox *>(modal);
        if (box && box->button(button))
            box->button(button)->click();
        else
            static_cast<QDialog *>(modal)->reject();
    });
}

int missedModals()
{
    return s_missed;
}

void cancelPendingModals()
{
    const QList<QTimer *> pending = s_pending;
    for (QTimer *timer : pending)
        finish(timer);
}

FailingWrites::FailingWrites()
{
    SafeFile::failAfter(0);
}

FailingWrites::~FailingWrites()
{
    SafeFile::failAfter(-1);
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

Svg::Svg(const QByteArray &bytes)
{
    QXmlStreamReader reader(bytes);
    QList<int> open;
    while (!reader.atEnd()) {
        reader.readNext();
        if (reader.isStartElement()) {
            open << elements.size();
            elements.append({reader.name().toString(), reader.attributes(), QString()});
        } else if (reader.isEndElement()) {
            open.removeLast();
        } else if (reader.isCharacters()) {
            for (int i : qAsConst(open))
                elements[i].text += reader.text();
        }
    }
    if (reader.hasError())
        error = QStringLiteral("%1 at line %2").arg(reader.errorString()).arg(reader.lineNumber());
}

int Svg::indexOf(const char *name) const
{
    for (int i = 0; i < elements.size(); ++i) {
        if (elements.at(i).name == QLatin1String(name))
            return i;
    }
    return -1;
}

QString Svg::attribute(const char *element, const char *attribute) const
{
    const int i = indexOf(element);
    return i < 0 ? QString() : elements.at(i).attributes.value(QLatin1String(attribute)).toString();
}

QStringList Svg::texts(const char *name) const
{
    QStringList result;
    for (const Element &e : elements) {
        if (e.name == QLatin1String(name))
            result << e.text;
    }
    return result;
}

bool startLocalFileTests(const char *testName)
{
    isolate(testName);
    QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
    std::signal(SIGXFSZ, SIG_IGN);
    CDataLink::Init();
    const bool written = writePlatform(1);
    AbstractGraphicsUtility::initProject();
    return written;
}

bool writePlatform(int platform)
{
    const QString path = applicationDir() + QStringLiteral("/config.ini");
    QFile::remove(path);
    if (platform < 0)
        return true;
    QFile file(path);
    return file.open(QIODevice::WriteOnly)
        && file.write(QStringLiteral("[Plotwright]\nplatform=%1\n").arg(platform).toUtf8()) > 0;
}

GraphicsView *newGraph(Plotwright &window)
{
    if (!window.isVisible()) {
        window.show();
        if (!QTest::qWaitForWindowActive(&window))
            return nullptr;
    }
    whenModal([](QWidget *modal) {
        if (auto *dialog = qobject_cast<QDialog *>(modal))
            dialog->accept();
    });
    const int before = window.form().mdiArea->subWindowList().size();
    window.form().action_NewGraph->trigger();
    const QList<QMdiSubWindow *> windows = window.form().mdiArea->subWindowList();
    if (windows.size() != before + 1)
        return nullptr;
    return qobject_cast<GraphicsView *>(windows.last()->widget());
}

void drag(QGraphicsView &view, const QPointF &from, const QPointF &to, std::function<void()> during,
    Qt::KeyboardModifiers modifiers)
{
    QWidget *vp = view.viewport();
    QTest::mousePress(vp, Qt::LeftButton, modifiers, view.mapFromScene(from));
    for (int i = 1; i <= 4; ++i) {
        const QPoint p = view.mapFromScene(from + (to - from) * i / 4.0);
        QMouseEvent move(QEvent::MouseMove, p, vp->mapToGlobal(p), Qt::NoButton, Qt::LeftButton, modifiers);
        QApplication::sendEvent(vp, &move);
    }
    if (during)
        during();
    QTest::mouseRelease(vp, Qt::LeftButton, modifiers, view.mapFromScene(to));
}

void chooseFromContextMenu(QGraphicsView &view, const QPointF &at, const QString &entry)
{
    whenPopup([entry](QWidget *popup) {
        auto *menu = qobject_cast<QMenu *>(popup);
        for (QAction *action : menu->actions()) {
            if (action->text() == entry)
                menu->setActiveAction(action);
        }
        QTest::keyClick(menu, Qt::Key_Return);
    });
    const QPoint p = view.mapFromScene(at);
    QContextMenuEvent event(QContextMenuEvent::Mouse, p, view.viewport()->mapToGlobal(p));
    QApplication::sendEvent(view.viewport(), &event);
}

QLabel *statusLabel(Plotwright &window, const QString &prefix)
{
    for (QLabel *label : window.form().statusBar->findChildren<QLabel *>()) {
        if (label->text().startsWith(prefix))
            return label;
    }
    return nullptr;
}

bool clickButton(QWidget *widget, const QString &text)
{
    const QList<QAbstractButton *> buttons = widget->findChildren<QAbstractButton *>();
    for (QAbstractButton *button : buttons) {
        if (button->text().remove(QLatin1Char('&')) == text) {
            button->click();
            return true;
        }
    }
    return false;
}

QWidget *openPropertyEditor(QtTreePropertyBrowser &browser, QtProperty *property)
{
    QTreeWidget *tree = browser.treeWidget();
    QTreeWidgetItem *row = browser.rows(property).value(0);
    if (!row)
        return nullptr;
    for (QTreeWidgetItem *up = row->parent(); up; up = up->parent())
        up->setExpanded(true);
    tree->scrollToItem(row);
    const QPoint at(tree->columnViewportPosition(1) + 30, tree->visualItemRect(row).center().y());
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, Qt::NoModifier, at);
    return tree->currentItem() == row ? tree->indexWidget(tree->currentIndex().siblingAtColumn(1)) : nullptr;
}

QtProperty *findProperty(QtTreePropertyBrowser &browser, const QString &name)
{
    const QList<QTreeWidgetItem *> rows
        = browser.treeWidget()->findItems(name, Qt::MatchExactly | Qt::MatchRecursive, 0);
    return rows.isEmpty() ? nullptr : browser.property(rows.first());
}

QStringList answerModals(const std::function<void()> &action, const QString &text, QMessageBox::StandardButton answer)
{
    QStringList seen;
    whenModals(
        [&](QWidget *modal) {
            if (auto *box = qobject_cast<QMessageBox *>(modal)) {
                seen << describeBox(box);
                box->button(box->button(answer) ? answer : QMessageBox::Ok)->click();
            } else if (auto *input = qobject_cast<QInputDialog *>(modal)) {
                seen << input->textValue();
                input->setTextValue(text);
                input->accept();
            }
        },
        1000);
    action();
    cancelPendingModals();
    return seen;
}

} // namespace TestSupport
