#pragma once
// Pictures of what entities draw: their world drawing collected as primitives in world
// coordinates, then painted with cairo into PNG or SVG files, or into memory. The room
// previews and `vkcad render` both draw through here.
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "host/db/AcDbCore.h"
#include "host/db/AcGi.h"
#include "host/ge/AcGeMatrix3d.h"

class AcDbDatabase;
class AcDbEntity;

namespace vkgi {

struct Primitive {
    enum Kind { kPath, kText, kFill } kind = kPath;
    // Path: the drawn points in world coordinates (arcs and circles as fine polylines; one
    // point is a dot). Text: [0] its alignment point. Fill: its outlines one after another.
    std::vector<AcGePoint3d> points;
    std::vector<int> loops;            // fill: the number of points of each outline
    double width = 0;                  // path: world line width (0: drawn with its line weight)
    // Path: the dash pattern (world lengths before dashScale; null or empty: solid), the line
    // weight in hundredths of a millimetre.
    std::shared_ptr<const std::vector<double>> dashes;
    double dashScale = 1;
    int lineWeight = 25;
    AcGeVector3d direction{1, 0, 0};   // text: unit vector along the baseline
    double height = 0;                 // text: world height of a capital letter
    CString text;                      // text: lines separated by '\n'
    int hMode = 0, vMode = 0;          // text: as AcGiWorldGeometry::alignedText
    double lineSpacing = 5.0 / 3;      // text: baseline to baseline, in heights
    int color = 7;                     // colour index, resolved (1..255)
};

// Collects the world drawing of entities. Colour, linetype and line weight "by layer" take
// the layer's from the entity's drawing, "by block" the block reference's; linetypes come
// from the drawing's linetype table. With hideLayers, entities on layers that are off or
// frozen (also inside blocks) are left out.
class Collector : public AcGiWorldGeometry, public AcGiWorldDraw {
public:
    Collector(std::vector<Primitive>& out, AcDbDatabase* db, bool hideLayers);
    AcGiWorldGeometry& geometry() override { return *this; }

    // Draws one entity (open for read) as the top level of the picture.
    void draw(const AcDbEntity* ent);

    bool polyline(int n, const AcGePoint3d* pts) override;
    bool circle(const AcGePoint3d& c, double r, const AcGeVector3d& normal) override;
    bool circularArc(const AcGePoint3d& c, double r, const AcGeVector3d& normal, const AcGeVector3d& start,
                     double sweep) override;
    bool text(const AcGePoint3d& pos, double height, const CString& t) override;
    bool textAlong(const AcGePoint3d& pos, const AcGeVector3d& dir, double height, const CString& t) override;
    bool alignedText(const AcGePoint3d& alignPoint, const AcGeVector3d& dir, double height, const CString& t,
                     int hMode, int vMode, double lineSpacing) override;
    bool polygon(int n, const AcGePoint3d* pts) override;
    bool polyPolygon(int numLoops, const int* loopSizes, const AcGePoint3d* pts) override;
    void setLineWidth(double w) override { m_width = w; }
    void setLinetype(const CString& name, double scale) override;
    void setLineWeight(int weight) override { m_lineWeight = weight; }
    void setColor(int aci) override { m_color = aci; }
    void setLayer(const CString& layer) override;
    void pushTransform(const AcGeMatrix3d& m) override;
    void popTransform() override;

private:
    using Dashes = std::shared_ptr<const std::vector<double>>;
    struct Level {
        AcGeMatrix3d xform;
        CString layer;  // what layer "0" means at this level
        int color = 7;  // what "by block" means at this level (and the line style's)
        Dashes dashes;
        double dashScale = 1;
        int lineWeight = 25;
    };
    struct LayerInfo {
        int color = 7;
        bool hidden = false;
        CString linetype = u"Continuous";
        int lineWeight = -3;
    };
    LayerInfo layerInfo(const CString& name) const;
    int resolvedColor() const;
    void resolvedStyle(Dashes& dashes, double& dashScale, int& lineWeight) const;
    bool add(Primitive p);
    AcGePoint3d world(const AcGePoint3d& p) const { return m_stack.back().xform * p; }
    double scale() const;

    std::vector<Primitive>& m_out;
    std::vector<std::pair<CString, LayerInfo>> m_layers;
    mutable size_t m_lastLayer = 0;
    bool m_hideLayers;
    std::vector<Level> m_stack;
    std::map<CString, Dashes> m_linetypes;  // by upper-case name
    CString m_layer = u"0";
    int m_color = 256;
    double m_width = 0;
    CString m_linetype = u"ByLayer";
    double m_linetypeScale = 1;
    int m_lineWeight = -1;
    size_t m_entityStart = 0;  // the first primitive of the entity being drawn
};

// The given entities of a database (ids of one drawing), as a preview shows them.
void CollectEntities(const AcDbObjectIdArray& ids, std::vector<Primitive>& out);
// Model space as a plan shows it: layers off or frozen hidden, colours by layer. With drawn,
// it is called after each entity with the index of the first primitive the entity added (its
// primitives are [first, out.size())), so that a caller can tell the parts of the plan apart.
Acad::ErrorStatus CollectModelSpace(AcDbDatabase* db, std::vector<Primitive>& out,
                                    const std::function<void(const AcDbEntity* ent, size_t first)>& drawn = {});

// What part of the world a picture shows, and its size in pixels.
struct View {
    int width = 1200, height = 900;
    bool lineWeights = true;              // lines as heavy as their weights (false: all thin)
    bool fit = true;                      // fit the primitives with a margin, centred
    double margin = 0.05;                 // of each side, when fitting
    double x1 = 0, y1 = 0, x2 = 0, y2 = 0;  // the window when not fitting
};

// What a picture shows besides the drawing: a title above the plan, a legend beside it (in
// the picture's own space, never over the plan) and tints, light washes of colour over areas
// of the world under the plan.
struct LegendItem {
    std::vector<Primitive> symbol;  // the world drawing of an example, fitted into its swatch
    int color = 7;                  // without a symbol: the swatch is a tint of this colour
    CString label;
};
struct LegendGroup {
    CString heading;
    std::vector<LegendItem> items;
};
struct Tint {
    std::vector<AcGePoint3d> outline;  // a closed area, world coordinates
    int color = 7;
};
struct Overlay {
    CString title;
    std::vector<LegendGroup> legend;  // groups without items are left out
    std::vector<Tint> tints;
};

// White background; the window (or the fitted extents) scaled uniformly and centred in what
// the overlay leaves of the picture. False with why set when the size is not positive or
// the file cannot be written, or is something other than a regular file.
bool RenderPng(const std::vector<Primitive>& prims, const View& view, const std::string& path, std::string* why = nullptr,
               const Overlay* overlay = nullptr);
bool RenderSvg(const std::vector<Primitive>& prims, const View& view, const std::string& path, std::string* why = nullptr,
               const Overlay* overlay = nullptr);
// The picture in memory: width*height pixels 0x00RRGGBB, row by row from the top.
bool RenderPixels(const std::vector<Primitive>& prims, const View& view, std::vector<unsigned>& pixels,
                  const Overlay* overlay = nullptr);

// The picture as PNG bytes in memory (a window's plan, a dialog's preview).
bool RenderPngBytes(const std::vector<Primitive>& prims, const View& view, std::string& png);
// Model space as a plan shows it, only the entities whose extents meet the world window
// x1,y1 - x2,y2 (found through the drawing's spatial index, so the cost follows what the window
// shows, not the size of the drawing).
Acad::ErrorStatus CollectModelSpaceWindow(AcDbDatabase* db, double x1, double y1, double x2, double y2,
                                          std::vector<Primitive>& out);

// The screen colour of a colour index (7 is black on the white background).
void ColorOf(int aci, double& r, double& g, double& b);

// The font that fontconfig picks for sans-serif Chinese text that holds these characters
// (pictures draw every text with it).
struct ResolvedFont {
    std::string family, file;
    bool coversAll = false;  // the font has a glyph for every character of the sample
};
ResolvedFont ResolveFont(const CString& sample);
const std::string& TextFontFamily();  // resolved once for Chinese text, e.g. "Noto Sans CJK SC"

}  // namespace vkgi
