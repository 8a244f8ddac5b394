#pragma once
// Undo and redo of whole commands. Every command started from the command line is one step:
// what it changes in the drawings of open documents and the files it replaces in one step
// (vkwin::DeferredWrites: a library drawing and its room list) until the next command starts,
// whatever documents it reaches. A step holds what changed, not copies of drawings: for each
// object, its filed state before its first open for write in the step, or that the step added
// it; for an owner's list of objects (a block's entities, a table's records), its length; for a
// file, what it held before.
#include <cstddef>
#include <vector>

#include "host/win/Windows.h"

class AcDbDatabase;

namespace vkundo {

// Whether the changes to db are recorded: a document's drawing is, from when it is opened; side
// drawings (a floor read to look at it, a library being written) are not.
void setTracked(AcDbDatabase* db, bool tracked);
// A command starts: what changes from now on, until the next command starts, is its step.
void beginCommand(const CString& name);

struct Outcome {
    std::vector<CString> commands;  // the commands taken back (newest first) or brought back
    CString error;                  // why it stopped before the count, if it did
};
// Takes back the last `count` steps that changed something, newest first. A step whose files
// cannot be put back (held by another program, changed by someone else) stops it, unchanged.
Outcome undo(int count);
// Brings back what the last undo took, as long as nothing changed since.
Outcome redo();
size_t undoDepth();
size_t redoDepth();
// True while a step is taken back or brought back: reactors that answer a change with changes
// of their own stay quiet then, as the step holds those too.
bool isApplying();
// How many times a step was taken back or brought back in this process: whoever keeps what a
// file or drawing held (a room list read once) reads it again when this changes.
unsigned appliedCount();
// Forgets every step.
void clear();

}  // namespace vkundo
