#pragma once
// Whether a drawing has changes that its file does not hold yet.
class AcDbDatabase;

namespace vkdb {
// True once an object was appended, changed or erased after the last read or save (the
// default content of a new drawing does not count).
bool IsModifiedSinceSave(const AcDbDatabase* db);
}  // namespace vkdb
