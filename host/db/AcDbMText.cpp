// Multi-line texts: contents with formatting codes, drawn as plain wrapped paragraphs.
#include <algorithm>
#include <cmath>

#include "host/db/AcDbPlanEntities.h"
#include "host/db/AcGiText.h"
#include "host/db/detail/GeomPieces.h"

ACRX_DEFINE_MEMBERS(AcDbMText, AcDbEntity)

CString acdbMTextPlain(const CString& s)
{
    CString out;
    const int n = s.GetLength();
    for (int i = 0; i < n; ++i) {
        const char16_t c = s[i];
        if (c == u'{' || c == u'}') continue;
        // %%d, %%p, %%c as their signs, %%% a percent sign.
        if (c == u'%' && i + 2 < n && s[i + 1] == u'%') {
            const char16_t k = s[i + 2];
            const char16_t sign = (k == u'd' || k == u'D') ? u'\u00B0' : (k == u'p' || k == u'P') ? u'\u00B1'
                                  : (k == u'c' || k == u'C') ? u'\u2300' : k == u'%' ? u'%' : 0;
            if (sign) {
                out += sign;
                i += 2;
                continue;
            }
        }
        if (c != u'\\' || i + 1 >= n) {
            out += c;
            continue;
        }
        const char16_t k = s[++i];
        switch (k) {
        case u'P': case u'X': case u'N': out += u'\n'; break;
        case u'~': out += u' '; break;
        case u'\\': case u'{': case u'}': out += k; break;
        case u'L': case u'l': case u'O': case u'o': case u'K': case u'k': break;
        case u'S': {  // stacked: \Sa^b; \Sa/b; \Sa#b;
            for (++i; i < n && s[i] != u';'; ++i) out += (s[i] == u'^' || s[i] == u'#') ? u'/' : s[i];
            break;
        }
        case u'A': case u'C': case u'c': case u'F': case u'f': case u'H': case u'Q': case u'T':
        case u'W': case u'p':
            while (i < n && s[i] != u';') ++i;  // a code with a value up to ';'
            break;
        default: out += u'\\'; out += k; break;
        }
    }
    return out;
}

Acad::ErrorStatus AcDbMText::setLocation(const AcGePoint3d& p)
{
    if (!std::isfinite(p.x) || !std::isfinite(p.y) || !std::isfinite(p.z)) return Acad::eInvalidInput;
    if (!assertWriteEnabled()) return Acad::eNotOpenForWrite;
    m_location = p;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbMText::setContents(const CString& text)
{
    if (!assertWriteEnabled()) return Acad::eNotOpenForWrite;
    m_contents = text;
    return Acad::eOk;
}

CString AcDbMText::text() const { return acdbMTextPlain(m_contents); }

Acad::ErrorStatus AcDbMText::setTextHeight(double h)
{
    if (!(h > 0) || !std::isfinite(h)) return Acad::eInvalidInput;
    if (!assertWriteEnabled()) return Acad::eNotOpenForWrite;
    m_height = h;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbMText::setWidth(double w)
{
    if (!(w >= 0) || !std::isfinite(w)) return Acad::eInvalidInput;
    if (!assertWriteEnabled()) return Acad::eNotOpenForWrite;
    m_width = w;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbMText::setAttachment(AttachmentPoint a)
{
    if (a < kTopLeft || a > kBottomRight) return Acad::eInvalidInput;
    if (!assertWriteEnabled()) return Acad::eNotOpenForWrite;
    m_attachment = a;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbMText::setRotation(double angle)
{
    if (!std::isfinite(angle)) return Acad::eInvalidInput;
    if (!assertWriteEnabled()) return Acad::eNotOpenForWrite;
    m_rotation = vkdb::normalizeAngle(angle);
    return Acad::eOk;
}

Acad::ErrorStatus AcDbMText::setLineSpacingFactor(double f)
{
    if (!(f >= 0.25 && f <= 4)) return Acad::eInvalidInput;
    if (!assertWriteEnabled()) return Acad::eNotOpenForWrite;
    m_spacing = f;
    return Acad::eOk;
}

namespace {

bool breaksAnywhere(char16_t c) { return AcGiText::estimatedAdvance(c) > 1; }  // East Asian text

// Greedy wrapping of one paragraph at a width in heights: at spaces, or between wide characters.
void wrapParagraph(const CString& p, double width, CString& out)
{
    int lineStart = 0, lastBreak = -1;
    double w = 0;
    for (int i = 0; i < p.GetLength(); ++i) {
        const char16_t c = p[i];
        if (c == u' ' || breaksAnywhere(c)) lastBreak = c == u' ' ? i : i - 1;
        w += AcGiText::estimatedAdvance(c);
        if (w <= width || i == lineStart || lastBreak < lineStart) continue;
        // Break after lastBreak (a space there is dropped).
        out += p.Mid(lineStart, lastBreak + 1 - lineStart).TrimRight();
        out += u'\n';
        lineStart = lastBreak + 1;
        while (lineStart < p.GetLength() && p[lineStart] == u' ') ++lineStart;
        w = 0;
        for (int k = lineStart; k <= i; ++k) w += AcGiText::estimatedAdvance(p[k]);
        lastBreak = lineStart - 1;
    }
    out += p.Mid(lineStart);
}

}  // namespace

CString AcDbMText::wrappedText() const
{
    const CString plain = text();
    if (!(m_width > 0)) return plain;
    const double width = m_width / m_height;
    CString out;
    int from = 0;
    for (;;) {
        const int nl = plain.Find(u'\n', from);
        wrapParagraph(plain.Mid(from, nl < 0 ? plain.GetLength() - from : nl - from), width, out);
        if (nl < 0) break;
        out += u'\n';
        from = nl + 1;
    }
    return out;
}

namespace {
// Attachment rows: the top of the first line's capitals, the middle, the last baseline.
int hModeOf(AcDbMText::AttachmentPoint a) { return (a - 1) % 3; }
int vModeOf(AcDbMText::AttachmentPoint a) { return (a - 1) / 3 == 0 ? 3 : (a - 1) / 3 == 1 ? 2 : 0; }
}  // namespace

void AcDbMText::getGeomPieces(std::vector<GeomPiece>& pieces) const
{
    vkdb::addTextBox(pieces, m_location, m_rotation, m_height, wrappedText(), hModeOf(m_attachment),
                     vModeOf(m_attachment), AcGiText::kLineSpacing * m_spacing);
}

bool AcDbMText::subWorldDraw(AcGiWorldDraw* wd) const
{
    const AcGeVector3d dir{std::cos(m_rotation), std::sin(m_rotation), 0};
    wd->geometry().alignedText(m_location, dir, m_height, wrappedText(), hModeOf(m_attachment), vModeOf(m_attachment),
                               AcGiText::kLineSpacing * m_spacing);
    return true;
}

void AcDbMText::list(CString& out) const
{
    AcDbEntity::list(out);
    out.AppendFormat(u"  Location: X=%.4f  Y=%.4f  Z=%.4f\n", m_location.x, m_location.y, m_location.z);
    out.AppendFormat(u"  Width: %.4f\n  Text height: %.4f\n  Rotation: %.4f\n", m_width, m_height,
                     m_rotation * 180 / 3.14159265358979323846);
    out.AppendFormat(u"  Contents: %s\n", m_contents.GetString());
}

Acad::ErrorStatus AcDbMText::subTransformBy(const AcGeMatrix3d& xform)
{
    AcGeVector3d dir = xform * AcGeVector3d(std::cos(m_rotation), std::sin(m_rotation), 0);
    const double scale = (xform * AcGeVector3d::kXAxis).length();
    // A mirrored text stays readable, its attachment mirrored left to right.
    if (vkdb::reversesXY(xform) && dir.x < 0) {
        dir = -dir;
        const int col = hModeOf(m_attachment);
        if (col != 1) m_attachment = static_cast<AttachmentPoint>(m_attachment + (col == 0 ? 2 : -2));
    }
    m_location = xform * m_location;
    m_height *= scale;
    m_width *= scale;
    m_rotation = vkdb::normalizeAngle(std::atan2(dir.y, dir.x));
    return Acad::eOk;
}

Acad::ErrorStatus AcDbMText::dwgOutFields(AcDbDwgFiler* filer) const
{
    Acad::ErrorStatus es = AcDbEntity::dwgOutFields(filer);
    if (es != Acad::eOk) return es;
    filer->writePoint3d(m_location, "location");
    filer->writeString(m_contents, "contents");
    filer->writeDouble(m_height, "height");
    filer->writeDouble(m_width, "width");
    filer->writeInt32(m_attachment, "attachment");
    filer->writeDouble(m_rotation, "rotation");
    filer->writeDouble(m_spacing, "lineSpacing");
    return filer->filerStatus();
}

Acad::ErrorStatus AcDbMText::dwgInFields(AcDbDwgFiler* filer)
{
    Acad::ErrorStatus es = AcDbEntity::dwgInFields(filer);
    if (es != Acad::eOk) return es;
    AcGePoint3d loc = m_location;
    CString contents = m_contents;
    double h = m_height, w = m_width, rot = m_rotation, spacing = m_spacing;
    Adesk::Int32 a = m_attachment;
    if ((es = filer->readPoint3d(&loc, "location")) != Acad::eOk) return es;
    if ((es = filer->readString(&contents, "contents")) != Acad::eOk) return es;
    if ((es = filer->readDouble(&h, "height")) != Acad::eOk) return es;
    if ((es = filer->readDouble(&w, "width")) != Acad::eOk) return es;
    if ((es = filer->readInt32(&a, "attachment")) != Acad::eOk) return es;
    if ((es = filer->readDouble(&rot, "rotation")) != Acad::eOk) return es;
    if ((es = filer->readDouble(&spacing, "lineSpacing")) != Acad::eOk) return es;
    if (!std::isfinite(loc.x) || !std::isfinite(loc.y) || !std::isfinite(loc.z) || !(h > 0) || !std::isfinite(h) ||
        !(w >= 0) || !std::isfinite(w) || a < kTopLeft || a > kBottomRight || !std::isfinite(rot) ||
        !(spacing >= 0.25 && spacing <= 4))
        return Acad::eInvalidInput;
    m_location = loc;
    m_contents = contents;
    m_height = h, m_width = w, m_rotation = rot, m_spacing = spacing;
    m_attachment = static_cast<AttachmentPoint>(a);
    return Acad::eOk;
}
