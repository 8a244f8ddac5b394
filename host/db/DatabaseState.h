#pragma once
// Whether a drawing has changes that its file does not hold yet, and the file a document's
// database holds.
#include <memory>

class AcDbDatabase;
class SharedFile;

namespace vkdb {
// True once an object was appended, changed or erased after the last read or save (the
// default content of a new drawing does not count).
bool IsModifiedSinceSave(const AcDbDatabase* db);
// The database keeps `file` (open on the file it was read from) as its own: saving over that
// file, through the database or its document, moves the hold to the new file. Null lets go.
void HoldFile(AcDbDatabase* db, std::unique_ptr<SharedFile> file);
}  // namespace vkdb
