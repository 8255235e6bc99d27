#include "script.h"

namespace {

const QVector<Script> &scripts()
{
    const RowId none = RowCount;
    static const QVector<Script> table = {
        {Open, {{Op::Close, none}}, Op::Open, {{Op::Prepare, none}}},
        {SelectAll, {}, Op::SelectAll, {{Op::Deselect, ClearSelection}}},
        {ClearSelection, {{Op::SelectAll, SelectAll}}, Op::Deselect, {}},

        {DeleteAll, {{Op::SelectAll, SelectAll}}, Op::Delete, {{Op::Undo, UndoDeleteAll}}},
        {UndoDeleteAll, {{Op::SelectAll, SelectAll}, {Op::Delete, DeleteAll}}, Op::Undo, {}},
        {RedoDeleteAll, {{Op::SelectAll, SelectAll}, {Op::Delete, DeleteAll}, {Op::Undo, UndoDeleteAll}}, Op::Redo,
            {{Op::Undo, UndoDeleteAll}}},

        {DeleteHalf, {{Op::SelectHalf, SelectAll}}, Op::Delete, {{Op::Undo, UndoDeleteHalf}}},
        {UndoDeleteHalf, {{Op::SelectHalf, SelectAll}, {Op::Delete, DeleteHalf}}, Op::Undo, {}},
        {RedoDeleteHalf, {{Op::SelectHalf, SelectAll}, {Op::Delete, DeleteHalf}, {Op::Undo, UndoDeleteHalf}}, Op::Redo,
            {{Op::Undo, UndoDeleteHalf}}},

        {GroupAll, {{Op::SelectAll, SelectAll}}, Op::Group, {{Op::Undo, UndoGroup}}},
        {UndoGroup, {{Op::SelectAll, SelectAll}, {Op::Group, GroupAll}}, Op::Undo, {}},
        {Ungroup, {{Op::SelectAll, SelectAll}, {Op::Group, GroupAll}, {Op::SelectAll, SelectAll}}, Op::Ungroup,
            {{Op::Undo, UndoUngroup}, {Op::Undo, UndoGroup}}},
        {UndoUngroup,
            {{Op::SelectAll, SelectAll}, {Op::Group, GroupAll}, {Op::SelectAll, SelectAll}, {Op::Ungroup, Ungroup}},
            Op::Undo, {{Op::Undo, UndoGroup}}},

        {BringToFront, {{Op::PickOne, none}}, Op::Bring, {{Op::Undo, UndoBringToFront}}},
        {UndoBringToFront, {{Op::PickOne, none}, {Op::Bring, BringToFront}}, Op::Undo, {}},
        {SendToBack, {{Op::PickOne, none}}, Op::Send, {{Op::Undo, UndoSendToBack}}},
        {UndoSendToBack, {{Op::PickOne, none}, {Op::Send, SendToBack}}, Op::Undo, {}},

        {DragPress, {{Op::SelectAll, SelectAll}, {Op::Aim, none}}, Op::Press, {{Op::ReleaseInPlace, DragDrop}}},
        {DragMove, {{Op::SelectAll, SelectAll}, {Op::Aim, none}, {Op::Press, DragPress}}, Op::Moves,
            {{Op::Release, DragDrop}, {Op::Undo, UndoDrag}}},
        {DragDrop, {{Op::SelectAll, SelectAll}, {Op::Aim, none}, {Op::Press, DragPress}, {Op::Moves, DragMove}},
            Op::Release, {{Op::Undo, UndoDrag}}},
        {UndoDrag,
            {{Op::SelectAll, SelectAll}, {Op::Aim, none}, {Op::Press, DragPress}, {Op::Moves, DragMove},
                {Op::Release, DragDrop}},
            Op::Undo, {}},
        {RedoDrag,
            {{Op::SelectAll, SelectAll}, {Op::Aim, none}, {Op::Press, DragPress}, {Op::Moves, DragMove},
                {Op::Release, DragDrop}, {Op::Undo, UndoDrag}},
            Op::Redo, {{Op::Undo, UndoDrag}}},

        {Copy, {{Op::SelectAll, SelectAll}}, Op::Copy, {}},
        {Paste, {{Op::SelectAll, SelectAll}, {Op::Copy, Copy}}, Op::Paste, {{Op::Undo, UndoPaste}}},
        {UndoPaste, {{Op::SelectAll, SelectAll}, {Op::Copy, Copy}, {Op::Paste, Paste}}, Op::Undo, {}},

        {SvgExport, {}, Op::Export, {}},
    };
    return table;
}

} // namespace

const Script &scriptOf(RowId row)
{
    for (const Script &s : scripts()) {
        if (s.row == row)
            return s;
    }
    qFatal("no script for row %d", int(row));
}
