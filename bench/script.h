#ifndef SCRIPT_H
#define SCRIPT_H

#include "benchsummary.h"

#include <QVector>

// --- what each row does

// The steps a user takes. Every row brings the group's graph from where the group left it to
// its start, times one step and takes the graph back, because QtTest runs every benchmark
// twice (a warm-up run, then the measured one).
enum class Op
{
    Close,
    Open,
    Prepare,
    SelectAll,
    Deselect,
    SelectHalf,
    Delete,
    Undo,
    Redo,
    Group,
    Ungroup,
    PickOne,
    Bring,
    Send,
    Aim,
    Press,
    Moves,
    Release,
    ReleaseInPlace,
    Copy,
    Paste,
    Export,
};

// A step before or after the measured one, with the row that times such a step (RowCount:
// one that costs next to nothing).
struct Step
{
    Op op;
    RowId cost;
};

struct Script
{
    RowId row;
    QVector<Step> setup;
    Op op;
    QVector<Step> restore;
};

// The script of a row of the summary.
const Script &scriptOf(RowId row);

#endif
