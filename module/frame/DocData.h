#pragma once
// Per-document data: a record per open document, dropped when the document goes away.
#include <map>

#include "host/ed/AcApDocManager.h"

struct CDocData {};  // the module keeps no per-document state

template <class T>
class AsdkDataManager : public AcApDocManagerReactor {
public:
    AsdkDataManager()
    {
        if (acDocManager) acDocManager->addReactor(this);
    }
    ~AsdkDataManager() override
    {
        if (acDocManager) acDocManager->removeReactor(this);
    }
    AsdkDataManager(const AsdkDataManager&) = delete;
    AsdkDataManager& operator=(const AsdkDataManager&) = delete;

    T& docData(AcApDocument* doc) { return m_data[doc]; }
    size_t size() const { return m_data.size(); }
    void documentToBeDestroyed(AcApDocument* doc) override { m_data.erase(doc); }

private:
    std::map<AcApDocument*, T> m_data;
};
