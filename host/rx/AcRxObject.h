#pragma once
// Run-time classes. Every persistent class has one AcRxClass (name, parent) registered by
// name, so that files can name their classes; desc() gives it, isA() gives an object's own,
// isKindOf() tests derivation, cast() is a checked down-cast that passes null through.
#include <functional>
#include <vector>

#include "host/win/CString.h"

class AcRxObject;

class AcRxClass {
public:
    using Constructor = AcRxObject* (*)();
    AcRxClass(const char16_t* name, AcRxClass* parent, Constructor ctor);
    const char16_t* name() const { return m_name.GetString(); }
    AcRxClass* myParent() const { return m_parent; }
    // True for the class itself. A lookup in the line of ancestors, as casts ask it all the time.
    bool isDerivedFrom(const AcRxClass* other) const
    {
        if (!other || other->m_depth > m_depth) return false;
        return other->m_depth < kLine ? m_line[other->m_depth] == other : isDerivedFromDeep(other);
    }
    AcRxObject* create() const { return m_ctor ? m_ctor() : nullptr; }  // null for abstract classes
    bool isAbstract() const { return m_ctor == nullptr; }

private:
    static constexpr unsigned kLine = 12;
    bool isDerivedFromDeep(const AcRxClass* other) const;

    CString m_name;
    AcRxClass* m_parent;
    Constructor m_ctor;
    unsigned m_depth = 0;                   // the root's is 0
    const AcRxClass* m_line[kLine] = {};    // ancestors by depth from the root, this class included, as deep as it holds
};

class AcRxObject {
public:
    virtual ~AcRxObject() = default;
    static AcRxClass* desc();
    static AcRxObject* cast(const AcRxObject* p) { return const_cast<AcRxObject*>(p); }
    virtual AcRxClass* isA() const { return desc(); }
    bool isKindOf(const AcRxClass* c) const { return isA()->isDerivedFrom(c); }
};

// The class registry.
AcRxClass* acrxFindClass(const char16_t* name);       // null when not registered
std::vector<AcRxClass*> acrxRegisteredClasses();
bool acrxRegisterClass(AcRxClass* c);                 // false when the name is taken by another class
void acrxUnregisterClass(AcRxClass* c);

namespace vkrx {
template <class T>
AcRxObject* construct() { return new T(); }
}  // namespace vkrx

// In the class body: ACRX_DECLARE_MEMBERS(MyClass);
#define ACRX_DECLARE_MEMBERS(CLASS)                                                         \
    static AcRxClass* desc();                                                               \
    static CLASS* cast(const AcRxObject* p)                                                 \
    {                                                                                       \
        return (p && p->isKindOf(CLASS::desc())) ? static_cast<CLASS*>(const_cast<AcRxObject*>(p)) \
                                                 : nullptr;                                 \
    }                                                                                       \
    AcRxClass* isA() const override { return CLASS::desc(); }

// In one .cpp: ACRX_DEFINE_MEMBERS(MyClass, ParentClass) for a concrete class (creatable by
// name), ACRX_DEFINE_ABSTRACT_MEMBERS for an abstract one. The class registers itself when
// its library is loaded and unregisters when it is unloaded.
#define VKRX_DEFINE_IMPL(CLASS, PARENT, CTOR)                                               \
    AcRxClass* CLASS::desc()                                                                \
    {                                                                                       \
        static AcRxClass s_class(u"" #CLASS, PARENT::desc(), CTOR);                         \
        return &s_class;                                                                    \
    }                                                                                       \
    namespace {                                                                             \
    struct CLASS##_Registrar {                                                              \
        CLASS##_Registrar() { acrxRegisterClass(CLASS::desc()); }                           \
        ~CLASS##_Registrar() { acrxUnregisterClass(CLASS::desc()); }                        \
    } s_##CLASS##_registrar;                                                                \
    }
#define ACRX_DEFINE_MEMBERS(CLASS, PARENT) VKRX_DEFINE_IMPL(CLASS, PARENT, &vkrx::construct<CLASS>)
#define ACRX_DEFINE_ABSTRACT_MEMBERS(CLASS, PARENT) VKRX_DEFINE_IMPL(CLASS, PARENT, nullptr)
