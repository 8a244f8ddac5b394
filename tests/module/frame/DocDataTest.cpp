// The per-document data manager follows the host's documents: a record per document, gone
// with the document, and the manager's reactor gone with the manager.
#include <gtest/gtest.h>

#include "module/frame/DocData.h"

TEST(DocData, ARecordLastsAsLongAsItsDocument)
{
    ASSERT_EQ(acDocManager->appContextNewDocument(), Acad::eOk);
    AcApDocument* first = acDocManager->curDocument();
    ASSERT_EQ(acDocManager->appContextNewDocument(), Acad::eOk);
    AcApDocument* second = acDocManager->curDocument();
    ASSERT_NE(first, second);
    {
        AsdkDataManager<CDocData> manager;
        manager.docData(first);
        manager.docData(second);
        EXPECT_EQ(manager.size(), 2u);
        ASSERT_EQ(acDocManager->closeDocument(first), Acad::eOk);
        EXPECT_EQ(manager.size(), 1u);
    }
    // With the manager gone, closing a document reaches no dangling reactor.
    acDocManager->closeAll();
    EXPECT_EQ(acDocManager->documentCount(), 0);
}
