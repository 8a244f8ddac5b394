// Attribute definitions of blocks and the attributes of block references.
#include <cmath>

#include "host/db/AcDbPlanEntities.h"

ACRX_DEFINE_MEMBERS(AcDbAttributeDefinition, AcDbText)
ACRX_DEFINE_MEMBERS(AcDbAttribute, AcDbText)

namespace {

bool validTag(const CString& tag) { return !tag.IsEmpty() && tag.Find(u' ') < 0 && tag.Find(u'\n') < 0; }
bool validFlags(int flags) { return flags >= 0 && flags <= 15; }

}  // namespace

Acad::ErrorStatus AcDbAttributeDefinition::setTag(const CString& tag)
{
    if (!validTag(tag)) return Acad::eInvalidInput;
    if (!assertWriteEnabled()) return Acad::eNotOpenForWrite;
    m_tag = tag;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbAttributeDefinition::setPrompt(const CString& prompt)
{
    if (!assertWriteEnabled()) return Acad::eNotOpenForWrite;
    m_prompt = prompt;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbAttributeDefinition::setAttributeFlags(int flags)
{
    if (!validFlags(flags)) return Acad::eInvalidInput;
    if (!assertWriteEnabled()) return Acad::eNotOpenForWrite;
    m_flags = flags;
    return Acad::eOk;
}

bool AcDbAttributeDefinition::subWorldDraw(AcGiWorldDraw* wd) const
{
    // Standing in a drawing (not through a reference), a definition shows its tag.
    const AcGeVector3d dir{std::cos(rotation()), std::sin(rotation()), 0};
    wd->geometry().alignedText(position(), dir, height(), m_tag, horizontalMode(), verticalMode(), 5.0 / 3);
    return true;
}

void AcDbAttributeDefinition::list(CString& out) const
{
    AcDbText::list(out);
    out.AppendFormat(u"  tag \"%s\"\n  prompt \"%s\"\n", m_tag.GetString(), m_prompt.GetString());
}

Acad::ErrorStatus AcDbAttributeDefinition::dwgOutFields(AcDbDwgFiler* filer) const
{
    Acad::ErrorStatus es = AcDbText::dwgOutFields(filer);
    if (es != Acad::eOk) return es;
    filer->writeString(m_tag, "tag");
    filer->writeString(m_prompt, "prompt");
    filer->writeInt32(m_flags, "flags");
    return filer->filerStatus();
}

Acad::ErrorStatus AcDbAttributeDefinition::dwgInFields(AcDbDwgFiler* filer)
{
    Acad::ErrorStatus es = AcDbText::dwgInFields(filer);
    if (es != Acad::eOk) return es;
    CString tag = m_tag, prompt = m_prompt;
    Adesk::Int32 flags = m_flags;
    if ((es = filer->readString(&tag, "tag")) != Acad::eOk) return es;
    if ((es = filer->readString(&prompt, "prompt")) != Acad::eOk) return es;
    if ((es = filer->readInt32(&flags, "flags")) != Acad::eOk) return es;
    if (!validTag(tag) || !validFlags(flags)) return Acad::eInvalidInput;
    m_tag = tag, m_prompt = prompt, m_flags = flags;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbAttribute::setTag(const CString& tag)
{
    if (!validTag(tag)) return Acad::eInvalidInput;
    if (!assertWriteEnabled()) return Acad::eNotOpenForWrite;
    m_tag = tag;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbAttribute::setAttributeFlags(int flags)
{
    if (!validFlags(flags)) return Acad::eInvalidInput;
    if (!assertWriteEnabled()) return Acad::eNotOpenForWrite;
    m_flags = flags;
    return Acad::eOk;
}

bool AcDbAttribute::subWorldDraw(AcGiWorldDraw* wd) const
{
    return isInvisible() || AcDbText::subWorldDraw(wd);
}

void AcDbAttribute::list(CString& out) const
{
    AcDbText::list(out);
    out.AppendFormat(u"  tag \"%s\"\n", m_tag.GetString());
}

Acad::ErrorStatus AcDbAttribute::dwgOutFields(AcDbDwgFiler* filer) const
{
    Acad::ErrorStatus es = AcDbText::dwgOutFields(filer);
    if (es != Acad::eOk) return es;
    filer->writeString(m_tag, "tag");
    filer->writeInt32(m_flags, "flags");
    return filer->filerStatus();
}

Acad::ErrorStatus AcDbAttribute::dwgInFields(AcDbDwgFiler* filer)
{
    Acad::ErrorStatus es = AcDbText::dwgInFields(filer);
    if (es != Acad::eOk) return es;
    CString tag = m_tag;
    Adesk::Int32 flags = m_flags;
    if ((es = filer->readString(&tag, "tag")) != Acad::eOk) return es;
    if ((es = filer->readInt32(&flags, "flags")) != Acad::eOk) return es;
    if (!validTag(tag) || !validFlags(flags)) return Acad::eInvalidInput;
    m_tag = tag, m_flags = flags;
    return Acad::eOk;
}
