// What a world geometry does with texts and filled areas when its collector does not do more:
// texts placed from estimated widths, fills drawn as their outlines.
#include <algorithm>
#include <vector>

#include "host/db/AcGi.h"
#include "host/db/AcGiText.h"

namespace AcGiText {

double estimatedAdvance(char16_t c)
{
    // Widths of the pictures' font, whose capitals are 0.73 of its size: Latin letters and
    // digits about 0.55 of the size, wide characters the whole size.
    const bool wide = (c >= 0x1100 && c <= 0x115F) || (c >= 0x2E80 && c <= 0xA4CF) ||
                      (c >= 0xAC00 && c <= 0xD7A3) || (c >= 0xF900 && c <= 0xFAFF) ||
                      (c >= 0xFE30 && c <= 0xFE4F) || (c >= 0xFF00 && c <= 0xFF60) ||
                      (c >= 0xFFE0 && c <= 0xFFE6) || (c >= 0xD800 && c <= 0xDFFF);
    return wide ? 1.36 : 0.75;
}

double estimatedWidth(const CString& line)
{
    double w = 0;
    for (int i = 0; i < line.GetLength(); ++i) w += estimatedAdvance(line[i]);
    return w;
}

void estimatedBlock(const CString& text, double& width, int& lines)
{
    width = 0;
    lines = 1;
    double w = 0;
    for (int i = 0; i < text.GetLength(); ++i) {
        const char16_t c = text[i];
        if (c == u'\n') {
            ++lines;
            w = 0;
            continue;
        }
        w += estimatedAdvance(c);
        width = std::max(width, w);
    }
}

void lineOrigin(int i, int lines, double w, int hMode, int vMode, double spacing, double& dx, double& dy)
{
    const double block = 1 + (lines - 1) * spacing;  // first capital line to last baseline
    double first = 0;
    switch (vMode) {
    case 1: first = (lines - 1) * spacing + kDescent; break;
    case 2: first = block / 2 - 1; break;
    case 3: first = -1; break;
    default: first = (lines - 1) * spacing; break;
    }
    dy = first - i * spacing;
    dx = hMode == 1 ? -w / 2 : hMode == 2 ? -w : 0;
}

}  // namespace AcGiText

bool AcGiWorldGeometry::alignedText(const AcGePoint3d& alignPoint, const AcGeVector3d& direction, double height,
                                    const CString& text, int hMode, int vMode, double lineSpacing)
{
    const AcGeVector3d up{-direction.y, direction.x, 0};
    int lines = 1;
    for (int i = 0; i < text.GetLength(); ++i) lines += text[i] == u'\n';
    int from = 0;
    for (int i = 0; i < lines; ++i) {
        int to = text.Find(u'\n', from);
        if (to < 0) to = text.GetLength();
        const CString line = text.Mid(from, to - from);
        double dx = 0, dy = 0;
        AcGiText::lineOrigin(i, lines, AcGiText::estimatedWidth(line), hMode, vMode, lineSpacing, dx, dy);
        textAlong(alignPoint + direction * (dx * height) + up * (dy * height), direction, height, line);
        from = to + 1;
    }
    return true;
}

bool AcGiWorldGeometry::polygon(int nbPoints, const AcGePoint3d* points)
{
    if (nbPoints < 2) return polyline(nbPoints, points);
    std::vector<AcGePoint3d> ring(points, points + nbPoints);
    ring.push_back(points[0]);
    return polyline(static_cast<int>(ring.size()), ring.data());
}

bool AcGiWorldGeometry::polyPolygon(int numLoops, const int* loopSizes, const AcGePoint3d* points)
{
    for (int i = 0; i < numLoops; ++i) {
        polygon(loopSizes[i], points);
        points += loopSizes[i];
    }
    return true;
}
