#ifndef MEMORYCHILD_H
#define MEMORYCHILD_H

#include <QString>

// Memory is measured in a child process per graph: this program again, told so by this
// environment variable holding the request "ours|plain", the item count, the graph file and
// "delete" or "keep", separated by '|'.
constexpr const char *ChildVariable = "PLOTWRIGHT_BENCH_MEMORY";

// The resident size the graph adds, after five edits of the whole graph that keep their undo
// history: select all and drag, an arrow key, lock and unlock, delete and undo, copy and paste.
// Without "delete" in the request the delete and its undo are left out.
// Prints "MEMORY <kB before> <kB after> <ms>" or "MEMORY-ERROR <why>" and returns the exit code.
int memoryChild(const QString &request);

#endif
