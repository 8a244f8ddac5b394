#pragma once
// The host entities that DXF records of ellipses, splines, hatches, solids, multi-line texts,
// dimensions and attributes become (null for records that hold no usable entity), and their
// line style.
#include <string_view>

#include "host/db/AcDb.h"
#include "host/dxf/detail/DxfRecords.h"
#include "host/dxf/detail/DxfText.h"

namespace vkdxf {

// The extrusion (210, 220, 230); +Z when absent.
void RecordExtrusion(const DxfRecord& r, double dir[3]);

// Coordinates of ellipses, splines, multi-line texts and dimension points are in the world
// already; those of hatches, solids and attributes in the frame of their extrusion (the
// caller turns them).
AcDbEllipse* MakeEllipse(const DxfRecord& r);
AcDbSpline* MakeSpline(const DxfRecord& r);
AcDbHatch* MakeHatch(const DxfRecord& r);
AcDbSolid* MakeSolid(const DxfRecord& r);
AcDbMText* MakeMText(const DxfRecord& r, const TextCodec& codec);
AcDbDimension* MakeDimension(const DxfRecord& r, const TextCodec& codec);  // block left to the caller
AcDbAttributeDefinition* MakeAttributeDefinition(const DxfRecord& r, const TextCodec& codec);
AcDbAttribute* MakeAttribute(const DxfRecord& r, const TextCodec& codec);

// Linetype names as the drawing keeps them: ByLayer, ByBlock and Continuous in that spelling.
CString LinetypeName(const CString& name);
bool IsStandardLinetype(const CString& name);  // ByLayer, ByBlock, Continuous in any case
// A DXF line weight (group 370) as the drawing keeps it: ByLayer for values DXF does not know.
AcDb::LineWeight LineWeightOf(int dxfWeight);

}  // namespace vkdxf
