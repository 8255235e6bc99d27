#ifndef TESTSUPPORT_H
#define TESTSUPPORT_H

#include <QByteArray>
#include <QMessageBox>
#include <QPointF>
#include <QString>
#include <QWidget>
#include <QXmlStreamAttributes>
#include <functional>

class GraphicsView;
class QGraphicsView;
class QLabel;
class Plotwright;
class QtProperty;
class QtTreePropertyBrowser;

namespace TestSupport {

// Gives the test process its own temporary project folder and settings store, so that
// no test ever reads or writes the user's files. Call first in initTestCase().
void isolate(const char *testName);
QString projectFolder();

// Runs `answer` on the next modal widget that appears (a dialog or message box run with
// exec() by the code under test). Polls from the event loop; gives up after `timeoutMs`.
void whenModal(std::function<void(QWidget *)> answer, int timeoutMs = 5000);
// Runs `answer` on every modal widget that appears, one after the other, until
// cancelPendingModals(); for code that shows several dialogs in a row. A modal that stays
// open after its answer is offered again.
void whenModals(std::function<void(QWidget *)> answer, int timeoutMs = 5000);
// Runs `answer` on the next popup menu that opens (QMenu::exec of the code under test).
void whenPopup(std::function<void(QWidget *)> answer, int timeoutMs = 5000);
// What a message box showed: "title|text" (or which other modal it was).
QString describeBox(QWidget *modal);
// Answers the next modal, which should be a message box, with `button`, noting describeBox()
// in `seen`. `then` runs before the answer (to wait for what the answer brings up).
void answerBox(QString *seen, QMessageBox::StandardButton button = QMessageBox::Ok, std::function<void()> then = {});
// Number of whenModal() requests that timed out without a modal widget.
int missedModals();
// Drops the requests still waiting (for a modal that should not have appeared).
void cancelPendingModals();

// Every safely written file of the process fails like one on a full disk, for its lifetime.
struct FailingWrites
{
    FailingWrites();
    ~FailingWrites();
};

// The whole file (empty when it cannot be read), and writing it whole.
QByteArray readFile(const QString &path);
bool writeFile(const QString &path, const QByteArray &bytes);

// The elements of an SVG (or other XML) text in document order, each with its attributes and
// its text, its children's included; a broken text gives `error` the reason.
struct Svg
{
    struct Element
    {
        QString name;
        QXmlStreamAttributes attributes;
        QString text;
    };
    explicit Svg(const QByteArray &bytes);
    int indexOf(const char *name) const;
    QString attribute(const char *element, const char *attribute) const;
    QStringList texts(const char *name) const;

    QString error;
    QList<Element> elements;
};

// Writes config.ini beside the executable with the given platform value; a negative value
// removes the file (the program then runs as platform 0). False when it cannot be written.
bool writePlatform(int platform);

// For tests that save local files: isolate(), Qt's own file dialogs, platform 1, the project
// folder, and a write past the file size limit failing instead of ending the process.
// False when config.ini cannot be written.
bool startLocalFileTests(const char *testName);

// Creates a graph through the window's own command, accepting the canvas dialog; shows
// and activates the window first, as sub-windows activate only in an active window.
GraphicsView *newGraph(Plotwright &window);

// The parent's child of the type with the object name.
template<typename T> T *child(QWidget *parent, const char *name)
{
    return parent->findChild<T *>(QLatin1String(name));
}

// Drags with the left button held through the view's viewport between two scene points, in
// four moves; `during` runs before the release.
void drag(QGraphicsView &view, const QPointF &from, const QPointF &to, std::function<void()> during = {},
    Qt::KeyboardModifiers modifiers = Qt::NoModifier);
// Opens the view's context menu at the scene point and chooses the entry with the text.
void chooseFromContextMenu(QGraphicsView &view, const QPointF &at, const QString &entry);

// The label of the window's status bar whose text starts with `prefix`, or null.
QLabel *statusLabel(Plotwright &window, const QString &prefix);

// Clicks the button with the given text in the widget (a message box or dialog).
bool clickButton(QWidget *widget, const QString &text);

// What the code asked when it wanted a file name.
struct FileRequest
{
    QString caption;
    QString directory; // the proposed folder or file
    QString filter;
};
// Answers the next request for a file name with `path` (empty: the user cancels), noting the
// request in `seen`; `then` runs before the answer. Requests are answered in the order queued;
// one with no answer queued fails the test. isolate() installs this in place of the dialogs.
void answerFileRequest(const QString &path, FileRequest *seen = nullptr, std::function<void()> then = {});
// Answers queued but not asked for yet.
int pendingFileAnswers();

// Clicks the value cell of the property's row, as a user does, and returns the editor
// that opens there (null when none does).
QWidget *openPropertyEditor(QtTreePropertyBrowser &browser, QtProperty *property);
// The property of the first row labelled `name`, at any depth.
QtProperty *findProperty(QtTreePropertyBrowser &browser, const QString &name);

// Runs `action`, answering every modal it shows: an input dialog gets `text`, a message box
// `answer` (OK when it has no such button). What each showed, in order: an input dialog's
// proposed text, a message box's describeBox().
QStringList answerModals(
    const std::function<void()> &action, const QString &text, QMessageBox::StandardButton answer = QMessageBox::Ok);

} // namespace TestSupport

#endif
