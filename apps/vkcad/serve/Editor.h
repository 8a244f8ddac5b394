#pragma once
// What the window shows of the editor, built on the editor's thread: the state (prompt,
// documents, floors, layers, dialogs, the drawing's revision and extents) and the pictures.
#include <string>
#include <vector>

#include "host/db/AcDbCore.h"
#include "host/gi/GiPicture.h"
#include "host/win/CString.h"

class AcDbEntity;

namespace vkcad::serve {

// Counts changes of every drawing the editor holds, so the page knows when to redraw.
unsigned DrawingRevision();
void WatchCurrentDrawing();  // follows the current document's database

// lastLine: the transcript's last whole line (a prompt printed with its own line end).
std::string StateJson(const CString& lastLine);
// The plan of the world window x1,y1 - x2,y2 at w x h pixels, as PNG; false when the size is
// bad or no drawing is open. Sets PIXELSIZE to the window's pixel, so that the pick box of
// the page is the editor's pick aperture.
bool PlanPng(double x1, double y1, double x2, double y2, int w, int h, std::string& png);
// The highlighted entities of the current drawing as drawn paths (JSON).
std::string HighlightJson();
// The picture of a dialog's preview control at w x h, fitted as the control shows it.
bool PreviewPng(int dialogId, int controlId, int w, int h, std::string& png);
// Paths of primitives as JSON: [{"c":"#rrggbb","w":width,"p":[x,y,...]}, ...].
std::string PathsJson(const std::vector<vkgi::Primitive>& prims);
std::vector<vkgi::Primitive> DrawnEntity(const AcDbEntity* ent);

}  // namespace vkcad::serve
