#pragma once
// Architectural regions: a closed outline (a lightweight polyline) with a name and an
// attribute index. Room boundaries and construction segments derive from it.
//
// The copy members, cast and the small members defined in this header are inline on
// purpose: code that includes it (the standard-room module among others) carries them.
#include "host/db/AcDbEntities.h"

class AcDbVkBanBase : public AcDbPolyline {
public:
    // cast (inline, from the macro): null for null, else the object when its class derives
    // from this one.
    ACRX_DECLARE_MEMBERS(AcDbVkBanBase);
    AcDbVkBanBase() = default;
    // Member-wise copies: outline and entity properties, then the own fields in order.
    AcDbVkBanBase(const AcDbVkBanBase& other) : AcDbPolyline() { copyBanBaseFrom(other); }
    AcDbVkBanBase& operator=(const AcDbVkBanBase& other)
    {
        if (this != &other) copyBanBaseFrom(other);
        return *this;
    }

    CString GetAttname() const { return m_attName; }
    Acad::ErrorStatus SetAttname(const CString& name);
    // The attribute index: free text naming the region's entry in the architectural tables.
    void SetAttIndex(const CString& index)
    {
        if (assertWriteEnabled()) m_attIndex = index;
    }
    CString GetAttIndex() const { return m_attIndex; }

    // Where the name is drawn: the area centroid of the outline (vertex average when the
    // outline encloses no area).
    AcGePoint3d GetTextBasePoint() const;
    double GetTextHeight() const;

    Acad::ErrorStatus dwgOutFields(AcDbDwgFiler* filer) const override;  // "attName", "attIndex"
    Acad::ErrorStatus dwgInFields(AcDbDwgFiler* filer) override;
    void list(CString& out) const override;

protected:
    bool subWorldDraw(AcGiWorldDraw* wd) const override;
    // The polyline part of a copy, through the polyline's public interface (the database
    // object underneath is not copyable): vertices, closure, elevation, layer, colour and
    // visibility.
    void copyPolylineFrom(const AcDbPolyline& other)
    {
        while (numVerts() > 0) removeVertexAt(numVerts() - 1);
        for (unsigned int i = 0; i < other.numVerts(); ++i) {
            AcGePoint2d pt;
            double bulge = 0, sw = -1, ew = -1;
            other.getPointAt(i, pt);
            other.getBulgeAt(i, bulge);
            other.getWidthsAt(i, sw, ew);
            addVertexAt(i, pt, bulge, sw, ew);
        }
        setClosed(other.isClosed());
        setElevation(other.elevation());
        setLayer(other.layer());
        setColorIndex(other.colorIndex());
        setVisibility(other.visibility());
    }

public:
    // The last virtual operations of the class, in this order.
    // Kinds move the name to where it reads best; the base leaves it at the centroid.
    virtual void AdjustTextPosition(AcGePoint3d& pt) {}
    // A kind's own mark beside the name; true when something was drawn.
    virtual bool DrawSympol(AcGiWorldDraw* wd, const AcGePoint3d& pt) { return false; }
    // A new, empty region of the same kind; null for the base.
    virtual AcDbVkBanBase* CreateNew() { return nullptr; }

private:
    void copyBanBaseFrom(const AcDbVkBanBase& other)
    {
        copyPolylineFrom(other);
        m_attName = other.m_attName;
        m_attIndex = other.m_attIndex;
    }

    CString m_attName;
    CString m_attIndex;  // the last field of the class
};
