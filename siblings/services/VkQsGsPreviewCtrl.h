#pragma once
// Drawing preview: a static control of a dialog that shows a block of the library copy, or
// given entities. What it shows is kept as a list of drawn primitives in world coordinates
// (the pictures' collector); RenderPng draws them fitted and centred with a margin. The control registers with its
// dialog, so the script line "!preview FILE.png" writes the top dialog's preview.
#include <string>
#include <vector>

#include "host/db/AcDbCore.h"
#include "host/gi/GiPicture.h"
#include "host/ed/ResourceHandle.h"
#include "host/ui/AfxWin.h"

class AcDbDatabase;

using PreviewPrimitive = vkgi::Primitive;

class VkQsGsPreviewCtrl : public CStatic {
public:
    explicit VkQsGsPreviewCtrl(const CString& libraryCopyPath);
    ~VkQsGsPreviewCtrl() override;

    // Takes over the static control; non-zero on success.
    BOOL SubclassDlgItem(UINT id, CWnd* parent);
    // Shows block `blockName` of the library copy (read afresh, _SH_DENYNO, not held). An empty
    // name or a block the copy does not hold shows nothing. `space` is where the copy's block
    // lives ("*Model_Space" from the callers; unused beyond that). TRUE when a block was shown.
    BOOL InitDrawingControl(HINSTANCE inst, const CString& blockName, const CString& space);
    // Shows these entities of `db` (replacing what was shown).
    void AddEntsToView(AcDbDatabase* db, const AcDbObjectIdArray& ids);
    // Shows these entities of the current drawing (replacing what was shown).
    void UpdatePreviewDwg(HINSTANCE inst, const CString& name, const AcDbObjectIdArray& ids);

    const std::vector<PreviewPrimitive>& Primitives() const { return m_prims; }
    bool IsEmpty() const { return m_prims.empty(); }
    // White background, primitives fitted and centred with a 5% margin; false when the file
    // cannot be written or the size is not positive. An empty view writes a blank picture.
    bool RenderPng(const std::string& hostPath, int width, int height) const;
    // The same picture in memory: width*height pixels 0x00RRGGBB, row by row from the top.
    bool RenderImage(int width, int height, std::vector<unsigned>& pixels) const;

private:
    void Collect(const AcDbObjectIdArray& ids);
    CString m_libPath;
    CWnd* m_dialog = nullptr;  // the dialog it was subclassed into
    std::vector<PreviewPrimitive> m_prims;
};
