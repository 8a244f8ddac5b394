#pragma once
// Objects left open: what a database still has open, and the databases deleted while some of
// their objects were open. A drawing with objects open is neither saved (saveAs answers
// eWasOpenForWrite or eWasOpenForRead) nor deleted with them: its destructor keeps the open
// objects alive for their holders, outside any database, and reports them here and on the
// standard error.
#include <vector>

#include "host/win/CString.h"

class AcDbDatabase;

// "AcDbLine #A (open for write), AcDbBlockTableRecord #1F (open for read)" in handle order;
// empty when nothing is open.
CString acdbDescribeOpenObjects(const AcDbDatabase* db);

// The reports of databases deleted with objects open since the last call, oldest first
// ("a drawing was deleted with objects open: ..."); the list is emptied.
std::vector<CString> acdbTakeOpenObjectReports();
