#pragma once
// DXF R2000 groups of the entities dxflib has no writer for, or none that keeps them whole:
// ellipses, splines, hatches, solids, multi-line texts, dimensions, attributes.
#include <dl_attributes.h>
#include <dl_writer_ascii.h>

#include <string>
#include <vector>

#include "host/db/AcDb.h"

namespace vkdxf {

void WriteEllipse(DL_WriterA& dw, const AcDbEllipse& e, const DL_Attributes& a);
void WriteSpline(DL_WriterA& dw, const AcDbSpline& s, const DL_Attributes& a);
void WriteHatch(DL_WriterA& dw, const AcDbHatch& h, const DL_Attributes& a);
void WriteSolid(DL_WriterA& dw, const AcDbSolid& s, const DL_Attributes& a);
void WriteMText(DL_WriterA& dw, const AcDbMText& t, const DL_Attributes& a);
// blockName: the block that draws it, as written.
void WriteDimension(DL_WriterA& dw, const AcDbDimension& d, const DL_Attributes& a, const std::string& blockName);
// imageDef: the handle of the image's definition object.
void WriteImage(DL_WriterA& dw, const AcDbRasterImage& image, const DL_Attributes& a, unsigned long imageDef);
// The DIMSTYLE table with a style of each name (dimensions keep their style's name).
void WriteDimStyles(DL_WriterA& dw, const std::vector<CString>& names);
void WriteAttributeDefinition(DL_WriterA& dw, const AcDbAttributeDefinition& d, const DL_Attributes& a);
void WriteAttribute(DL_WriterA& dw, const AcDbAttribute& t, const DL_Attributes& a);

}  // namespace vkdxf
