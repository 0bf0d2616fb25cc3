// tools/nk_primitives_3d.h -- solid cylinders, cones and spheres that the
// user places in the scene with the primitive and partprimitive commands.
//
// A primitive is a small polymorphic object kept in a tree (first child,
// next sibling); each NKPart holds one Primitive3DList (NKPart::pPrimitives,
// null until the first primitive) and one list belongs to no part
// (g_pGlobalPrimitives, core/nk_tool_state.h). Points and radii are in
// display coordinates. The model core reaches the lists only through the
// release and box slots of core/nk_model_hooks.h, which
// NKInstallPrimitiveHooks fills. Trees are walked with an explicit stack, so
// a list of any length can be drawn, measured and freed.
#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>

#include "core/nk_string.h"

class CommandParams;
struct NKFrame;

class Primitive3D {
public:
    Primitive3D();
    // Deletes the whole tree reached through the first child and the next
    // sibling (iteratively), then the name.
    virtual ~Primitive3D();
    Primitive3D(const Primitive3D &) = delete;
    Primitive3D &operator=(const Primitive3D &) = delete;

    // Draw style as the part draw styles: 0 surface, 1 lines, 2 points,
    // 3 outline, 4 hidden lines. With bKeepState the caller's lighting,
    // colour and quadric style stay.
    virtual void Draw(int iStyle, bool bKeepState);
    // The box (min x, y, z, max x, y, z); the base prints an error, gives
    // (0,0,0)-(1,1,1) and false.
    virtual bool BoundingBox(float *pfBox);

    Primitive3D *m_pFirstChild = nullptr;   // owned
    Primitive3D *m_pNextSibling = nullptr;  // owned
    NKString m_name;
    uint8_t m_ucColor[3] = {255, 255, 255};
};

// A cone from end point 1 to end point 2; a cylinder has equal radii.
class CylinderPrimitive : public Primitive3D {
public:
    CylinderPrimitive(const float *pfP1, const float *pfP2, float fRadius);
    CylinderPrimitive(const float *pfP1, const float *pfP2, float fRadius1, float fRadius2);
    void Draw(int iStyle, bool bKeepState) override;
    bool BoundingBox(float *pfBox) override;

    float m_afP1[3];
    float m_afP2[3];
    float m_fRadius1;
    float m_fRadius2;
    float m_fLength = 0.0f;
    int32_t m_iSlices = 20;
    int32_t m_iStacks = 1;
    float m_fAngle = 0.0f;  // degrees, turns +z onto p2 - p1 about the axis
    float m_afAxis[3] = {1.0f, 0.0f, 0.0f};

private:
    void Setup(const float *pfP1, const float *pfP2, float fRadius1, float fRadius2);
};

class SpherePrimitive : public Primitive3D {
public:
    SpherePrimitive(const float *pfCenter, float fRadius);
    void Draw(int iStyle, bool bKeepState) override;
    bool BoundingBox(float *pfBox) override;

    float m_afCenter[3];
    float m_fRadius;
    int32_t m_iSlices = 20;
    int32_t m_iStacks = 20;
};

class Primitive3DList {
public:
    Primitive3DList() = default;
    ~Primitive3DList() { Clear(); }
    Primitive3DList(const Primitive3DList &) = delete;
    Primitive3DList &operator=(const Primitive3DList &) = delete;

    // Takes ownership of pPrim under the parent and after the sibling of the
    // given names (see the tree rules in nk_primitives_3d.cpp). False for a
    // null primitive.
    bool Add(Primitive3D *pPrim, const char *pszParent, const char *pszSibling);
    void UpdateBoundingBox();
    // False when the list is empty or pfBox is null.
    bool GetBoundingBox(float *pfBox) const;
    void DrawAll(int iStyle, bool bKeepState);
    // Deletes the tree; the list stays usable.
    void Clear();
    // Deletes the tree; the caller frees the list record.
    void DeleteAll() { Clear(); }
    // Number of primitives in the tree.
    int Count() const;

    Primitive3D *m_pRoot = nullptr;  // owned
    float m_afBox[6] = {0, 0, 0, 0, 0, 0};

private:
    // How many primitives of the tree carry each name, so that a parent
    // name no primitive has (the commands' empty one) is known at once
    // instead of after a walk over the whole tree. Names do not change once
    // a primitive is in a list.
    std::unordered_map<std::string, int> m_NameCounts;
};

// The body of the primitive commands: pParams stands behind the keyword
// (and the part number), pszKeyword is trimmed and lower-case, iPart is the
// 1-based part or -1 for a global primitive. False on a parameter error or
// an unknown keyword ("Subcommand not found." is printed then).
bool NKPrimitiveCommand(CommandParams *pParams, const char *pszKeyword, int iPart);

// Fills the primitive slots of the model core (release, box).
void NKInstallPrimitiveHooks(void);
// Deletes the list that belongs to no part (reset before a new model, exit).
void NKDiscardGlobalPrimitives(void);
// Draws the global list with surface style (the scene's overlay pass).
void NKDrawGlobalPrimitives(void);
// Draws each shown part's list with the part's draw style and, when the
// frame has part matrices, the part's matrix.
void NKDrawPartPrimitives(NKFrame *pFrame);
