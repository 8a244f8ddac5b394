#include "siblings/services/VkQsGsPreviewCtrl.h"

#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <numbers>
#include <vector>

#include "host/db/AcDb.h"
#include "host/ed/Transcript.h"
#include "host/ui/DialogActionRegistry.h"
#include "host/win/WinPath.h"

namespace {

// Collects what entities draw, in world coordinates, through the block transforms.
class Collector : public AcGiWorldGeometry, public AcGiWorldDraw {
public:
    explicit Collector(std::vector<PreviewPrimitive>& out) : m_out(out) { m_stack.emplace_back(); }
    AcGiWorldGeometry& geometry() override { return *this; }

    bool polyline(int n, const AcGePoint3d* pts) override
    {
        PreviewPrimitive p;
        p.kind = PreviewPrimitive::kPolyline;
        for (int i = 0; i < n; ++i) p.points.push_back(World(pts[i]));
        return Add(std::move(p));
    }
    bool circle(const AcGePoint3d& c, double r, const AcGeVector3d& normal) override
    {
        return Arc(PreviewPrimitive::kCircle, c, r, normal, Perpendicular(normal), 2 * std::numbers::pi);
    }
    bool circularArc(const AcGePoint3d& c, double r, const AcGeVector3d& normal, const AcGeVector3d& start,
                     double sweep) override
    {
        return Arc(PreviewPrimitive::kArc, c, r, normal, start, sweep);
    }
    bool text(const AcGePoint3d& pos, double height, const CString& t) override
    {
        PreviewPrimitive p;
        p.kind = PreviewPrimitive::kText;
        p.points.push_back(World(pos));
        p.radius = height * Scale();
        p.text = t;
        return Add(std::move(p));
    }
    void setColor(int aci) override { m_color = aci; }
    void pushTransform(const AcGeMatrix3d& m) override { m_stack.push_back(m_stack.back() * m); }
    void popTransform() override
    {
        if (m_stack.size() > 1) m_stack.pop_back();
    }

private:
    AcGePoint3d World(const AcGePoint3d& p) const { return m_stack.back() * p; }
    double Scale() const { return (m_stack.back() * AcGeVector3d(1, 0, 0)).length(); }
    static AcGeVector3d Perpendicular(const AcGeVector3d& n)
    {
        AcGeVector3d v = std::abs(n.z) > 0.9 ? AcGeVector3d(1, 0, 0) : AcGeVector3d(0, 0, 1).crossProduct(n);
        return v;
    }
    bool Arc(PreviewPrimitive::Kind kind, const AcGePoint3d& c, double r, const AcGeVector3d& normal,
             const AcGeVector3d& start, double sweep)
    {
        AcGeVector3d n = normal.length() > 0 ? normal * (1 / normal.length()) : AcGeVector3d(0, 0, 1);
        AcGeVector3d u = start.length() > 0 ? start * (1 / start.length()) : Perpendicular(n);
        AcGeVector3d v = n.crossProduct(u);
        int steps = std::max(8, int(std::ceil(std::abs(sweep) / (2 * std::numbers::pi) * 96)));
        PreviewPrimitive p;
        p.kind = kind;
        p.center = World(c);
        p.radius = r * Scale();
        for (int i = 0; i <= steps; ++i) {
            double a = sweep * i / steps;
            p.points.push_back(World(c + u * (r * std::cos(a)) + v * (r * std::sin(a))));
        }
        return Add(std::move(p));
    }
    bool Add(PreviewPrimitive p)
    {
        p.color = m_color;
        m_out.push_back(std::move(p));
        return false;  // false: keep drawing
    }

    std::vector<PreviewPrimitive>& m_out;
    std::vector<AcGeMatrix3d> m_stack;
    int m_color = 7;
};

void DrawEntity(AcDbObjectId id, std::vector<PreviewPrimitive>& out)
{
    AcDbEntity* ent = nullptr;
    if (acdbOpenAcDbEntity(ent, id, AcDb::kForRead) != Acad::eOk) return;
    Collector c(out);
    c.setColor(ent->colorIndex() == 256 || ent->colorIndex() == 0 ? 7 : ent->colorIndex());
    ent->worldDraw(&c);
    ent->close();
}

// Controls alive, in order of creation; the preview action picks the one of the top dialog.
std::vector<VkQsGsPreviewCtrl*>& Controls()
{
    static std::vector<VkQsGsPreviewCtrl*> all;
    return all;
}

void Rgb(int aci, double& r, double& g, double& b)
{
    static const double table[8][3] = {{0, 0, 0}, {1, 0, 0}, {0.8, 0.8, 0}, {0, 0.7, 0},
                                       {0, 0.7, 0.7}, {0, 0, 1}, {0.8, 0, 0.8}, {0, 0, 0}};
    if (aci < 0 || aci > 7) { r = g = b = 0.4; return; }
    r = table[aci][0], g = table[aci][1], b = table[aci][2];
}

}  // namespace


VkQsGsPreviewCtrl::VkQsGsPreviewCtrl(const CString& libraryCopyPath) : m_libPath(libraryCopyPath)
{
    Controls().push_back(this);
}

VkQsGsPreviewCtrl::~VkQsGsPreviewCtrl()
{
    std::erase(Controls(), this);
}

BOOL VkQsGsPreviewCtrl::SubclassDlgItem(UINT id, CWnd* parent)
{
    if (!parent || !CStatic::SubclassDlgItem(id, parent)) return FALSE;
    m_dialog = parent;
    return TRUE;
}

BOOL VkQsGsPreviewCtrl::InitDrawingControl(HINSTANCE, const CString& blockName, const CString&)
{
    m_prims.clear();
    if (blockName.IsEmpty() || m_libPath.IsEmpty()) return FALSE;
    // Read afresh and let go at once: the library copy is rewritten while dialogs are open.
    auto db = std::make_unique<AcDbDatabase>(false, true);
    if (db->readDwgFile(m_libPath, _SH_DENYNO) != Acad::eOk) return FALSE;
    AcDbBlockTable* table = nullptr;
    if (db->getBlockTable(table, AcDb::kForRead) != Acad::eOk) return FALSE;
    AcDbObjectId blockId;
    Acad::ErrorStatus es = table->getAt(blockName, blockId);
    table->close();
    if (es != Acad::eOk) return FALSE;
    AcDbBlockTableRecord* block = nullptr;
    if (acdbOpenObject(block, blockId, AcDb::kForRead) != Acad::eOk) return FALSE;
    std::vector<AcDbObjectId> ents = block->entityIds();
    block->close();
    AcDbObjectIdArray ids;
    for (AcDbObjectId id : ents) ids.append(id);
    Collect(ids);
    return TRUE;
}

void VkQsGsPreviewCtrl::AddEntsToView(AcDbDatabase*, const AcDbObjectIdArray& ids)
{
    m_prims.clear();
    Collect(ids);
}

void VkQsGsPreviewCtrl::UpdatePreviewDwg(HINSTANCE, const CString&, const AcDbObjectIdArray& ids)
{
    m_prims.clear();
    Collect(ids);
}

void VkQsGsPreviewCtrl::Collect(const AcDbObjectIdArray& ids)
{
    for (int i = 0; i < ids.length(); ++i) DrawEntity(ids[i], m_prims);
}

namespace {
// Draws the primitives fitted and centred, with a margin, on a fresh white picture.
cairo_surface_t* Draw(const std::vector<PreviewPrimitive>& m_prims, int width, int height)
{
    double minX = 1e300, minY = 1e300, maxX = -1e300, maxY = -1e300;
    auto add = [&](double x, double y) {
        minX = std::min(minX, x), maxX = std::max(maxX, x);
        minY = std::min(minY, y), maxY = std::max(maxY, y);
    };
    for (auto& p : m_prims) {
        for (auto& pt : p.points) add(pt.x, pt.y);
        if (p.kind == PreviewPrimitive::kText && !p.points.empty())
            add(p.points[0].x + p.radius * 0.8 * p.text.GetLength(), p.points[0].y + p.radius);
    }
    bool empty = minX > maxX;
    double dx = empty ? 1 : std::max(maxX - minX, 1e-9), dy = empty ? 1 : std::max(maxY - minY, 1e-9);
    double margin = 0.05;
    double scale = std::min(width * (1 - 2 * margin) / dx, height * (1 - 2 * margin) / dy);
    double cx = empty ? 0 : (minX + maxX) / 2, cy = empty ? 0 : (minY + maxY) / 2;
    auto sx = [&](double x) { return width / 2.0 + (x - cx) * scale; };
    auto sy = [&](double y) { return height / 2.0 - (y - cy) * scale; };  // y grows downwards

    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height);
    cairo_t* cr = cairo_create(surface);
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_paint(cr);
    cairo_set_line_width(cr, 1.0);
    for (auto& p : m_prims) {
        double r, g, b;
        Rgb(p.color, r, g, b);
        cairo_set_source_rgb(cr, r, g, b);
        if (p.kind == PreviewPrimitive::kText) {
            if (p.points.empty()) continue;
            cairo_set_font_size(cr, std::max(1.0, p.radius * scale));
            cairo_move_to(cr, sx(p.points[0].x), sy(p.points[0].y));
            cairo_show_text(cr, p.text.ToUtf8().c_str());
            continue;
        }
        if (p.points.size() == 1) {  // a point: a dot
            cairo_rectangle(cr, sx(p.points[0].x) - 0.5, sy(p.points[0].y) - 0.5, 1, 1);
            cairo_fill(cr);
            continue;
        }
        for (size_t i = 0; i < p.points.size(); ++i) {
            if (i == 0) cairo_move_to(cr, sx(p.points[i].x), sy(p.points[i].y));
            else cairo_line_to(cr, sx(p.points[i].x), sy(p.points[i].y));
        }
        cairo_stroke(cr);
    }
    cairo_destroy(cr);
    cairo_surface_flush(surface);
    return surface;
}
}  // namespace

bool VkQsGsPreviewCtrl::RenderPng(const std::string& hostPath, int width, int height) const
{
    if (width <= 0 || height <= 0) return false;
    cairo_surface_t* surface = Draw(m_prims, width, height);
    cairo_status_t st = cairo_surface_write_to_png(surface, hostPath.c_str());
    cairo_surface_destroy(surface);
    return st == CAIRO_STATUS_SUCCESS;
}

bool VkQsGsPreviewCtrl::RenderImage(int width, int height, std::vector<unsigned>& pixels) const
{
    pixels.clear();
    if (width <= 0 || height <= 0) return false;
    cairo_surface_t* surface = Draw(m_prims, width, height);
    const unsigned char* data = cairo_image_surface_get_data(surface);
    int stride = cairo_image_surface_get_stride(surface);
    pixels.reserve(size_t(width) * size_t(height));
    for (int y = 0; y < height; ++y) {
        const auto* row = reinterpret_cast<const uint32_t*>(data + size_t(y) * size_t(stride));
        for (int x = 0; x < width; ++x) pixels.push_back(row[x] & 0xFFFFFFu);
    }
    cairo_surface_destroy(surface);
    return true;
}

namespace {

bool PreviewAction(CDialog* top, const CString& args, CString& why)
{
    CString file = args;
    file.Trim();
    if (file.GetLength() >= 2 && file[0] == u'"' && file[file.GetLength() - 1] == u'"')
        file = file.Mid(1, file.GetLength() - 2);
    if (file.IsEmpty()) {
        why = u"expected !preview FILE.png";
        return false;
    }
    VkQsGsPreviewCtrl* ctrl = nullptr;
    for (VkQsGsPreviewCtrl* c : Controls())
        if (c->GetSafeHwnd() && c->GetParent() == top) ctrl = c;
    if (!ctrl) {
        why = u"the dialog has no preview";
        return false;
    }
    CRect rc;
    ctrl->GetClientRect(&rc);
    int w = rc.right - rc.left > 0 ? int(rc.right - rc.left) : 320;
    int h = rc.bottom - rc.top > 0 ? int(rc.bottom - rc.top) : 240;
    std::string path = vkwin::ToHostPath(file);
    if (!ctrl->RenderPng(path, w, h)) {
        why.Format(u"cannot write %s", file.GetString());
        return false;
    }
    vked::transcript().writeLine(u"<preview " + file + u">");
    return true;
}

struct RegisterPreviewAction {
    RegisterPreviewAction() { vkui::RegisterDialogAction("!preview", &PreviewAction); }
    ~RegisterPreviewAction() { vkui::RegisterDialogAction("!preview", nullptr); }
} g_registerPreviewAction;

}  // namespace
