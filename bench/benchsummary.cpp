#include "benchsummary.h"

#include <QStringList>
#include <QVector>
#include <cstdio>

const RowInfo Rows[RowCount] = {
    {"open .drw (file-open path)", Goal::None, Unit::Ms, "build and add the rect items, show"},
    {"select all (Ctrl+A)", Goal::Select, Unit::Ms, "setSelected(true) loop"},
    {"clear selection", Goal::Select, Unit::Ms, "setSelected(false) loop"},
    {"delete all (Del)", Goal::Edit, Unit::Ms, "removeItem loop, top first"},
    {"undo delete all (Ctrl+Z)", Goal::Edit, Unit::Ms, "addItem loop in stacking order"},
    {"redo delete all", Goal::Edit, Unit::Ms, "removeItem loop, top first"},
    {"delete random half (Del)", Goal::Edit, Unit::Ms, "removeItem loop over the half"},
    {"undo delete half (Ctrl+Z)", Goal::Edit, Unit::Ms, "addItem loop over the half"},
    {"redo delete half", Goal::Edit, Unit::Ms, "removeItem loop over the half"},
    {"group all", Goal::Group, Unit::Ms, "createItemGroup"},
    {"undo group (Ctrl+Z)", Goal::Group, Unit::Ms, "destroyItemGroup"},
    {"ungroup", Goal::Group, Unit::Ms, "destroyItemGroup"},
    {"undo ungroup (Ctrl+Z)", Goal::Group, Unit::Ms, "createItemGroup"},
    {"bring to front (1 item)", Goal::Restack, Unit::Ms, "setZValue above all"},
    {"undo bring to front", Goal::Restack, Unit::Ms, "setZValue back"},
    {"send to back (1 item)", Goal::Restack, Unit::Ms, "setZValue below all"},
    {"undo send to back", Goal::Restack, Unit::Ms, "setZValue back"},
    {"drag all: press", Goal::None, Unit::Ms, "mouse press in a plain view"},
    {"drag all: per move event", Goal::Drag, Unit::Ms, "moveBy loop"},
    {"drag all: drop", Goal::None, Unit::Ms, "mouse release in a plain view"},
    {"undo drag (Ctrl+Z)", Goal::None, Unit::Ms, "moveBy loop back"},
    {"redo drag", Goal::None, Unit::Ms, "moveBy loop"},
    {"copy all (Ctrl+C)", Goal::None, Unit::Ms, "raw QDataStream write of the records"},
    {"paste (Ctrl+V)", Goal::Edit, Unit::Ms, "read the records, add rect items"},
    {"undo paste (Ctrl+Z)", Goal::Edit, Unit::Ms, "removeItem loop over the pasted"},
    {"SVG export (action)", Goal::Svg, Unit::Ms, "QSvgGenerator painting the plain scene"},
    {"SVG export peak extra", Goal::SvgMemory, Unit::Mb, "the same, peak"},
    {"memory after 5 edits", Goal::Memory, Unit::KbPerItem, "the same edits on rect items"},
};

Figure g_figures[RowCount][2][SizeCount]; // [row][plain][size]
QSet<QString> g_hiddenActions;
bool g_timedOnce = false;

namespace {

struct Check
{
    int size;
    double limit;
    bool relative; // limit times the baseline at that size
};

QVector<Check> checksFor(Goal goal)
{
    switch (goal) {
    case Goal::None: return {};
    case Goal::Edit: return {{1, 50, false}, {2, 500, false}, {2, 2, true}};
    case Goal::Group: return {{1, 50, false}, {2, 500, false}};
    case Goal::Restack: return {{1, 20, false}, {2, 200, false}};
    case Goal::Select: return {{1, 16, false}, {2, 100, false}, {2, 2, true}};
    case Goal::Drag: return {{1, 16, false}, {2, 150, false}, {2, 1.5, true}};
    case Goal::Svg: return {{1, 100, false}, {2, 1000, false}, {2, 0.5, true}};
    case Goal::SvgMemory: return {{1, 60, false}, {2, 60, false}};
    case Goal::Memory: return {{1, 1.3, false}, {2, 1.3, false}};
    }
    return {};
}

const char *goalText(Goal goal)
{
    switch (goal) {
    case Goal::None: return "-";
    case Goal::Edit: return "<=50ms@10k, <=500ms & <=2x base@100k";
    case Goal::Group: return "<=50ms@10k, <=500ms@100k";
    case Goal::Restack: return "<=20ms@10k, <=200ms@100k";
    case Goal::Select: return "<=16ms@10k, <=100ms & <=2x base@100k";
    case Goal::Drag: return "<=16ms@10k, <=150ms & <=1.5x base@100k";
    case Goal::Svg: return "<=100ms@10k, <=1s & <=0.5x base@100k";
    case Goal::SvgMemory: return "<=60MB extra@10k,100k";
    case Goal::Memory: return "<=1.3KB/item@10k,100k";
    }
    return "";
}

QString cell(const Figure &f)
{
    switch (f.state) {
    case Figure::NotRun: return QStringLiteral("n/a");
    case Figure::OverBudget: return QStringLiteral("skipped (>60 s)");
    case Figure::Skipped: return QStringLiteral("not run (*)");
    case Figure::Failed: return QStringLiteral("failed");
    case Figure::Partial: return QString::number(f.value, 'f', 2) + QStringLiteral(" (*)");
    case Figure::Measured: break;
    }
    const double v = f.value;
    return QString::number(v, 'f', v < 10 ? 2 : v < 100 ? 1 : 0);
}

QString growth(const Figure &small, const Figure &large)
{
    if (small.state != Figure::Measured || large.state != Figure::Measured || small.value <= 0)
        return QStringLiteral("-");
    return QStringLiteral("%1").arg(large.value / small.value, 0, 'f', 1);
}

// PASS when every figure the goal names is measured and within it; FAIL as soon as one is
// over it (a row skipped for the budget took over a minute, above every goal); else n/a.
QString verdict(int row, QStringList *reasons)
{
    const QVector<Check> checks = checksFor(Rows[row].goal);
    if (checks.isEmpty())
        return QStringLiteral("-");
    bool unknown = false;
    bool failed = false;
    for (const Check &c : checks) {
        const Figure &ours = g_figures[row][0][c.size];
        double limit = c.limit;
        if (c.relative) {
            const Figure &base = g_figures[row][1][c.size];
            if (base.state != Figure::Measured) {
                unknown = true;
                continue;
            }
            limit = c.limit * base.value;
        }
        if (ours.state == Figure::OverBudget) {
            failed = true;
            const QString why
                = QStringLiteral("%1 at %2: over a minute").arg(QLatin1String(Rows[row].name), SizeNames[c.size]);
            if (!reasons->contains(why))
                *reasons << why;
        } else if (ours.state != Figure::Measured && ours.state != Figure::Partial) {
            unknown = true;
        } else if (ours.value > limit) {
            // A partial memory figure leaves edits out: the whole would be more still.
            failed = true;
            *reasons << QStringLiteral("%1 at %2: %3 > %4%5")
                            .arg(QLatin1String(Rows[row].name), SizeNames[c.size], cell(ours))
                            .arg(limit, 0, 'g', 4)
                            .arg(c.relative ? QStringLiteral(" (%1x baseline)").arg(c.limit) : QString());
        } else if (ours.state == Figure::Partial) {
            unknown = true;
        }
    }
    return failed ? QStringLiteral("FAIL") : unknown ? QStringLiteral("n/a") : QStringLiteral("PASS");
}

} // namespace

void printSummary()
{
    auto pad = [](const QString &s, int width) { return s.leftJustified(width).toUtf8(); };
    std::printf("\nSummary (times in ms; memory rows as their unit says). ours = the main window, "
                "base = plain Qt on the same layout.\n");
    QByteArray header = pad(QStringLiteral("row"), 28);
    for (const char *who : {"ours", "base"}) {
        for (const char *size : SizeNames)
            header += pad(QStringLiteral("%1 %2").arg(QLatin1String(who), QLatin1String(size)), 16);
    }
    header += pad(QStringLiteral("ours x10k/1k"), 13) + pad(QStringLiteral("x100k/10k"), 10)
        + pad(QStringLiteral("base x10k/1k"), 13) + pad(QStringLiteral("x100k/10k"), 10)
        + pad(QStringLiteral("verdict"), 8) + "goal";
    std::printf("%s\n", header.constData());
    QStringList reasons;
    for (int row = 0; row < RowCount; ++row) {
        QString name = QLatin1String(Rows[row].name);
        if (Rows[row].unit == Unit::Mb)
            name += QStringLiteral(" MB");
        else if (Rows[row].unit == Unit::KbPerItem)
            name += QStringLiteral(" KB/it");
        QByteArray line = pad(name, 28);
        for (int plain = 0; plain < 2; ++plain) {
            for (int size = 0; size < SizeCount; ++size)
                line += pad(cell(g_figures[row][plain][size]), 16);
        }
        for (int plain = 0; plain < 2; ++plain) {
            line += pad(growth(g_figures[row][plain][0], g_figures[row][plain][1]), 13);
            line += pad(growth(g_figures[row][plain][1], g_figures[row][plain][2]), 10);
        }
        line += pad(verdict(row, &reasons), 8) + goalText(Rows[row].goal);
        std::printf("%s\n", line.constData());
    }
    std::printf("\nBaselines:\n");
    for (const RowInfo &r : Rows)
        std::printf("  %-28s %s\n", r.name, r.baseline);
    bool heading = false;
    for (int row = 0; row < RowCount; ++row) {
        for (int plain = 0; plain < 2; ++plain) {
            for (int size = 0; size < SizeCount; ++size) {
                const Figure &f = g_figures[row][plain][size];
                if (f.note.isEmpty() || f.state == Figure::OverBudget)
                    continue;
                if (!heading)
                    std::printf("\n(*) and other notes:\n");
                heading = true;
                std::printf(
                    "  %s, %s %s: %s\n", Rows[row].name, plain ? "base" : "ours", SizeNames[size], qPrintable(f.note));
            }
        }
    }
    if (g_timedOnce)
        std::printf("\nRows that take over %g s with their setup are timed once, without QBENCHMARK (which "
                    "runs every row twice, a warm-up run first).\n",
            SlowMs / 1000);
    if (!g_hiddenActions.isEmpty())
        std::printf("\nHidden (so disabled) actions triggered directly: %s\n",
            qPrintable(QStringList(g_hiddenActions.values()).join(QStringLiteral(", "))));
    if (!reasons.isEmpty()) {
        std::printf("\nOver the goals:\n");
        for (const QString &r : qAsConst(reasons))
            std::printf("  %s\n", qPrintable(r));
    }
    std::fflush(stdout);
}
