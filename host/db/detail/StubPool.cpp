// The process-wide pool of object stubs. Ids are plain stub pointers, so stubs outlive their
// databases; dead stubs are reused first in, first out, once many others have died after them.
#include <deque>
#include <memory>
#include <mutex>
#include <vector>

#include "host/db/detail/DatabaseImpl.h"

namespace vkdb {
namespace {

constexpr size_t kBlock = 4096;
// A stale id stays dead until this many other stubs have died after its own.
constexpr size_t kQuarantine = size_t{1} << 19;

struct StubPool {
    std::mutex mutex;
    std::vector<std::unique_ptr<AcDbStub[]>> blocks;
    size_t usedInLast = kBlock;
    std::deque<AcDbStub*> dead;
};

StubPool& pool()
{
    static auto* p = new StubPool;  // never destroyed: ids may be asked about at exit
    return *p;
}

}  // namespace

AcDbStub* allocateStub()
{
    StubPool& p = pool();
    std::lock_guard lock(p.mutex);
    if (p.dead.size() > kQuarantine) {
        AcDbStub* s = p.dead.front();
        p.dead.pop_front();
        *s = AcDbStub{};
        return s;
    }
    if (p.usedInLast == kBlock) {
        p.blocks.push_back(std::make_unique<AcDbStub[]>(kBlock));
        p.usedInLast = 0;
    }
    return &p.blocks.back()[p.usedInLast++];
}

void retireStub(AcDbStub* s) { retireStubs({s}); }

void retireStubs(const std::vector<AcDbStub*>& stubs)
{
    StubPool& p = pool();
    std::lock_guard lock(p.mutex);
    for (AcDbStub* s : stubs) {
        s->db = nullptr;
        s->object = nullptr;
        s->erased = false;
        s->notifyOpens = 0;
        s->record = 0;
        p.dead.push_back(s);
    }
}

}  // namespace vkdb
