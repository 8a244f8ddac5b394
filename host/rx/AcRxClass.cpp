// Run-time classes and the registry of classes by name.
#include <algorithm>
#include <iterator>
#include <map>
#include <mutex>

#include "host/rx/AcRxObject.h"

namespace {

struct Registry {
    std::mutex mutex;
    std::map<std::u16string, AcRxClass*> byName;
};

// Plug-ins register from static initialisers, possibly before this library's own statics
// exist, and unregister from static destructors at exit: a leaked function-local registry is
// there in both cases.
Registry& registry()
{
    static Registry* r = new Registry;
    return *r;
}

}  // namespace

AcRxClass::AcRxClass(const char16_t* name, AcRxClass* parent, Constructor ctor)
    : m_name(name), m_parent(parent), m_ctor(ctor), m_depth(parent ? parent->m_depth + 1 : 0)
{
    if (parent) std::copy(std::begin(parent->m_line), std::end(parent->m_line), std::begin(m_line));
    if (m_depth < kLine) m_line[m_depth] = this;
}

bool AcRxClass::isDerivedFromDeep(const AcRxClass* other) const
{
    for (const AcRxClass* c = this; c; c = c->m_parent)
        if (c == other) return true;
    return false;
}

AcRxClass* AcRxObject::desc()
{
    static AcRxClass s_class(u"AcRxObject", nullptr, nullptr);
    return &s_class;
}

namespace {
struct AcRxObjectRegistrar {
    AcRxObjectRegistrar() { acrxRegisterClass(AcRxObject::desc()); }
} s_rxObjectRegistrar;
}  // namespace

AcRxClass* acrxFindClass(const char16_t* name)
{
    if (!name) return nullptr;
    Registry& r = registry();
    std::lock_guard lock(r.mutex);
    auto it = r.byName.find(name);
    return it == r.byName.end() ? nullptr : it->second;
}

std::vector<AcRxClass*> acrxRegisteredClasses()
{
    Registry& r = registry();
    std::lock_guard lock(r.mutex);
    std::vector<AcRxClass*> out;
    out.reserve(r.byName.size());
    for (auto& [name, c] : r.byName) out.push_back(c);
    return out;
}

bool acrxRegisterClass(AcRxClass* c)
{
    if (!c) return false;
    Registry& r = registry();
    std::lock_guard lock(r.mutex);
    auto [it, inserted] = r.byName.emplace(c->name(), c);
    return inserted || it->second == c;
}

void acrxUnregisterClass(AcRxClass* c)
{
    if (!c) return;
    Registry& r = registry();
    std::lock_guard lock(r.mutex);
    auto it = r.byName.find(c->name());
    if (it != r.byName.end() && it->second == c) r.byName.erase(it);
}
