// Saving several documents at once. Each save touches only its own database and file (the
// drawing is written to a temporary file, flushed and renamed over the old one), so a few run
// side by side: while one waits for the disk, another is written.
#include <algorithm>
#include <atomic>
#include <new>
#include <thread>

#include "host/ed/AcApDocManager.h"

namespace vked {

namespace {
// Enough to keep two cores busy and the disk's queue fed; each holds one drawing's bytes.
constexpr size_t kSavers = 4;
}  // namespace

std::vector<Acad::ErrorStatus> SaveDocuments(const std::vector<AcApDocument*>& docs)
{
    std::vector<Acad::ErrorStatus> results(docs.size(), Acad::eOk);
    std::atomic<size_t> next{0};
    auto saveSome = [&] {
        for (size_t i; (i = next++) < docs.size();) {
            try {
                results[i] = SaveDocument(docs[i]);
            } catch (const std::bad_alloc&) {
                results[i] = Acad::eOutOfMemory;
            }
        }
    };
    const size_t helpers = std::min(docs.size(), kSavers) - (docs.empty() ? 0 : 1);
    std::vector<std::thread> threads;
    for (size_t t = 0; t < helpers; ++t) threads.emplace_back(saveSome);
    saveSome();
    for (std::thread& t : threads) t.join();
    return results;
}

}  // namespace vked
