#ifndef BENCHSUMMARY_H
#define BENCHSUMMARY_H

#include <QSet>
#include <QString>

// The main window benchmark's figures, row by row for every graph size, ours and the plain-Qt
// baseline, and the table that compares them with their goals at the end of the run.

constexpr int SizeCount = 3;
constexpr int Sizes[SizeCount] = {1000, 10000, 100000};
constexpr const char *SizeNames[SizeCount] = {"1k", "10k", "100k"};
// A row expected to take longer than this (with its setup) is timed once without QBENCHMARK,
// which would run it twice.
constexpr double SlowMs = 1000;

// --- rows of the summary, in the order printed

enum class Goal
{
    None,
    Edit,
    Group,
    Restack,
    Select,
    Drag,
    Svg,
    SvgMemory,
    Memory
};
enum class Unit
{
    Ms,
    Mb,
    KbPerItem
};

enum RowId
{
    Open,
    SelectAll,
    ClearSelection,
    DeleteAll,
    UndoDeleteAll,
    RedoDeleteAll,
    DeleteHalf,
    UndoDeleteHalf,
    RedoDeleteHalf,
    GroupAll,
    UndoGroup,
    Ungroup,
    UndoUngroup,
    BringToFront,
    UndoBringToFront,
    SendToBack,
    UndoSendToBack,
    DragPress,
    DragMove,
    DragDrop,
    UndoDrag,
    RedoDrag,
    Copy,
    Paste,
    UndoPaste,
    SvgExport,
    SvgExtraMemory,
    MemoryPerItem,
    RowCount
};

struct RowInfo
{
    const char *name;
    Goal goal;
    Unit unit;
    const char *baseline;
};

extern const RowInfo Rows[RowCount];

struct Figure
{
    // Partial: measured, but not all of what the row stands for (see the note).
    enum State
    {
        NotRun,
        Measured,
        OverBudget,
        Skipped,
        Failed,
        Partial
    };
    State state = NotRun;
    double value = 0;
    QString note;
};

extern Figure g_figures[RowCount][2][SizeCount]; // [row][plain][size]
// The hidden actions the run triggered directly.
extern QSet<QString> g_hiddenActions;
// Whether a row was timed once, without QBENCHMARK.
extern bool g_timedOnce;

// Prints the table of every row's figures, growth and verdict, with the notes and the rows
// over their goals.
void printSummary();

#endif
