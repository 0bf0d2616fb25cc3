// tools/nk_user_labels.h -- user labels (the label and labeltype commands)
// and the list that holds them.
//
// A UserPrimitive is anchored to a node, an element, a polygon, an absolute
// 3-D position or a position relative to the window, and shows its own
// text, the scalar value, the coordinates or the identity of its anchor. The
// one global UserPrimitiveList (g_pUserPrimitives, made at start-up) keeps
// the labels sorted by ID; the scene pass turns them into label items of the
// label overlay (render/nk_label_overlay.h) once per drawn frame. A label
// anchored in a geometry holds a reference to it (released when the anchor
// goes), so the geometry outlives the label.
#pragma once

#include <cstdint>

#include "core/nk_string.h"

struct NKFrame;
struct NKGeometry;
struct NKViewSettings;
struct LabelOverlay;

enum { NK_LABEL_TEXT = 0, NK_LABEL_SCALAR = 1, NK_LABEL_COORD = 2, NK_LABEL_INFO = 3 };

class UserPrimitive {
public:
    UserPrimitive() = default;
    UserPrimitive(const UserPrimitive &other);
    UserPrimitive &operator=(const UserPrimitive &other);
    ~UserPrimitive();

    // "\n" typed as backslash and n becomes a line break.
    void SetText(const char *pszText);
    bool SetPosition3D(const float *pfPoint);
    void SetPosition2D(float x, float y);
    bool AttachPolygon(NKGeometry *pGeo, int iPart, int iPolygon);
    bool AttachNode(NKGeometry *pGeo, int iPart, int iNode);
    // False for a part, element or polygon map that does not exist.
    bool AttachElement(NKGeometry *pGeo, int iPart, int iElement);
    void GetPosition(float *pfOut) const;
    const char *GetTypeName() const;
    const char *GetAttachmentName() const;
    // Anchor kind: 0 node, 1 polygon, 2 element, 3 absolute 3-D, 4 relative 2-D.
    int GetAnchorKind() const;

    int32_t m_iID = -1;
    int32_t m_iType = NK_LABEL_SCALAR;
    uint8_t m_bRelative2D = 0;
    float m_afPosition[3] = {0, 0, 0};
    NKString m_text;
    NKGeometry *m_pGeometry = nullptr;  // one reference held
    int32_t m_iPart = -1;
    int32_t m_iElement = -1;
    int32_t m_iNumElementPolygons = 0;
    int32_t *m_piElementPolygons = nullptr;  // owned
    int32_t m_iPolygon = -1;
    int32_t m_iNode = -1;

private:
    void ClearAnchor();
    void SetGeometry(NKGeometry *pGeo);
};

class UserPrimitiveList {
public:
    UserPrimitiveList() = default;
    ~UserPrimitiveList() { Clear(); }
    UserPrimitiveList(const UserPrimitiveList &) = delete;
    UserPrimitiveList &operator=(const UserPrimitiveList &) = delete;

    // The new record's index, or -1 when iID is given and present. -1 picks
    // the lowest free ID. The new record becomes the active one.
    int Add(int iID, bool bInheritType);
    // iIndex -1: the active label. The same label stays active when another
    // one goes; when the active one goes, the record now at its index (or
    // the last one) becomes active.
    bool Delete(int iIndex);
    void Clear();
    int FindByID(int iID) const;
    bool SetCurrentByID(int iID);
    int GetCurrentID() const;
    int GetCurrentIndex() const { return m_iCurrent; }
    UserPrimitive *Get(int iIndex);
    int GetCount() const { return m_iCount; }
    // Hands every label to the overlay as label items for pFrame; the count.
    int DrawAll(NKFrame *pFrame, const NKViewSettings *pView, LabelOverlay *pOverlay);

    uint8_t m_bShown = 1;

private:
    bool Grow();

    UserPrimitive *m_pRecords = nullptr;  // owned (new[]), sorted by ID
    int32_t m_iCount = 0;
    int32_t m_iCapacity = 0;
    int32_t m_iGrowBy = 0;  // 0: an eighth of the size, 4 to 1024
    int32_t m_iCurrent = -1;
};

extern UserPrimitiveList *g_pUserPrimitives;

// Start-up, exit, and the reset before a new model (empties the list).
void NKCreateUserPrimitives(void);
void NKFreeUserPrimitives(void);
void NKClearUserPrimitives(void);
// The labels of the frame, when the list is shown (the scene's overlay pass).
void NKDrawUserPrimitives(NKFrame *pFrame);
