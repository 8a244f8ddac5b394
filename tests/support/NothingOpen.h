#pragma once
// Checks that operations left no object open: neither in the drawing they worked on nor in a
// drawing they made and deleted meanwhile (the host reports those when it deletes them).
#include <gtest/gtest.h>

#include "host/db/AcDbDatabase.h"
#include "host/db/AcDbOpenObjects.h"

namespace vktest {

// Use as EXPECT_TRUE(vktest::NothingLeftOpen(db)); the failure names each open object by
// class and handle. Reports are consumed, so each check covers what happened since the last.
inline ::testing::AssertionResult NothingLeftOpen(const AcDbDatabase* db = nullptr)
{
    std::vector<CString> reports = acdbTakeOpenObjectReports();
    CString open = acdbDescribeOpenObjects(db);
    if (reports.empty() && open.IsEmpty()) return ::testing::AssertionSuccess();
    ::testing::AssertionResult failure = ::testing::AssertionFailure();
    if (!open.IsEmpty()) failure << "still open: " << open.ToUtf8() << "\n";
    for (const CString& r : reports) failure << r.ToUtf8() << "\n";
    return failure;
}

}  // namespace vktest
