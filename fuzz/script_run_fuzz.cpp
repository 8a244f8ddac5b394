// Feeds arbitrary text to the editor as a script: every line goes through the input queue to
// whatever reads it (the top level, a command's prompts of each kind, dialog action lines).
// Whatever the input, the run ends by itself and leaves no object open, no prompt active and
// no line queued. (The line parsers alone: script_line_fuzz.cpp.)
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

#include "host/db/AcDb.h"
#include "host/ed/AcEd.h"
#include "host/ed/EditorLoop.h"
#include "host/ed/InputQueue.h"
#include "host/ed/Transcript.h"

namespace {

// Asks one prompt of every kind.
void AskEverything()
{
    ads_point pt, base = {0, 0, 0};
    if (acedGetPoint(nullptr, u"Point: ", pt) == RTNORM && !(std::isfinite(pt[0]) && std::isfinite(pt[1])))
        std::abort();
    acedGetPoint(base, u"Second point: ", pt);
    double real = 0;
    acedGetReal(u"Number: ", &real);
    acedGetDist(base, u"Distance: ", &real);
    acedGetAngle(base, u"Angle: ", &real);
    if (!std::isfinite(real)) std::abort();
    int integer = 0;
    acedInitGet(RSG_NONULL | RSG_NOZERO, u"Yes No");
    acedGetInt(u"Integer: ", &integer);
    char16_t word[512] = {};
    acedInitGet(0, u"Left Right Up _ L R U");
    acedGetKword(u"Keyword [Left/Right/Up]: ", word, 512);
    char16_t str[512] = {};
    acedGetString(1, u"Text: ", str, 512);
    ads_name ss;
    if (acedSSGet(nullptr, nullptr, nullptr, nullptr, ss) == RTNORM) acedSSFree(ss);
    ads_name ent;
    if (acedEntSel(u"Pick: ", ent, pt) == RTNORM && !(std::isfinite(pt[0]) && std::isfinite(pt[1])))
        std::abort();
}

struct Setup {
    Setup()
    {
        db = std::make_unique<AcDbDatabase>(true);
        AcDbBlockTableRecord* space = nullptr;
        if (acdbOpenObject(space, db->modelSpaceId(), AcDb::kForWrite) != Acad::eOk) std::abort();
        for (int i = 0; i < 4; ++i) {
            auto* line = new AcDbLine(AcGePoint3d(0, i * 10, 0), AcGePoint3d(100, i * 10, 0));
            if (space->appendAcDbEntity(line) != Acad::eOk) std::abort();
            line->close();
        }
        space->close();
        acdbHostApplicationServices()->setWorkingDatabase(db.get());
        acedRegCmds()->addCommand(u"FUZZ", u"ASK", u"ASK", ACRX_CMD_MODAL, AskEverything);
        vked::transcript().setSink([](const CString&) {});
    }
    std::unique_ptr<AcDbDatabase> db;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size)
{
    static Setup setup;
    const CString text = CString::FromUtf8(std::string(reinterpret_cast<const char*>(data), size));
    vked::inputQueue().clear();
    vked::ResetInputEnded();
    vked::inputQueue().pushText(text, u"fuzz.scr");
    vked::RunUntilEndOfInput();
    if (vked::IsPromptActive() || vked::inputQueue().size() != 0) std::abort();
    if (setup.db->numOpenObjects() != 0) std::abort();
    return 0;
}
