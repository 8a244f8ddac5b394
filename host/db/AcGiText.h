#pragma once
// How texts stand on their alignment point: the rules that texts, multi-line texts and the
// pictures share. Sizes are in text heights (a capital letter is one height tall).
#include "host/win/CString.h"

namespace AcGiText {

constexpr double kLineSpacing = 5.0 / 3;  // baseline to baseline of single-line texts' lines
constexpr double kDescent = 1.0 / 3;      // the descender line below the baseline

// Estimated advance of a character: East Asian wide characters are wider than Latin ones.
double estimatedAdvance(char16_t c);
double estimatedWidth(const CString& line);
// The width of the widest line and the number of lines ('\n' separated).
void estimatedBlock(const CString& text, double& width, int& lines);
// Where line i (of lines, width w) starts its baseline, seen from the alignment point along
// the text's direction (dx) and up (dy). hMode, vMode as AcGiWorldGeometry::alignedText.
void lineOrigin(int i, int lines, double w, int hMode, int vMode, double spacing, double& dx, double& dy);

}  // namespace AcGiText
