// core/nk_transform_tables.h -- the whole-series tables of rigid-body
// matrices and camera viewpoints, and their application to frames.
//
// Data sources deliver rigid-body results (a 4x4 matrix per part per step)
// and per-step viewpoints as whole tables, while a frame holds only its own
// step's matrices and viewpoint. The two global tables below keep the whole
// series; readers fill them (after Clear / Init before a new model) and apply
// them to each frame when the frame is built or its step is shown. The
// frozen node (freezenode / nofreezenode commands) keeps one node in place by
// shifting every part of a step so that the node's displaced position falls
// back on its undeformed one. Matrices are in OpenGL's column order with the
// translation in elements 12 to 14, in display coordinates.
#pragma once

struct NKFrame;

class NKTransformationTable {
public:
    NKTransformationTable() = default;
    ~NKTransformationTable();
    NKTransformationTable(const NKTransformationTable &) = delete;
    NKTransformationTable &operator=(const NKTransformationTable &) = delete;

    // Frees the matrices; steps and parts 0; no frozen node.
    void Clear();
    // A new array of steps x parts identity matrices and the counts.
    // False when either count is below 1 or memory runs out. An earlier array
    // is not freed: callers Clear first.
    bool Allocate(int iSteps, int iParts);
    // Copies m into (step, part); ignored without an array or out of range.
    void SetMatrix(int iStep, int iPart, const float *m);
    // Matrix (step, part) or null without an array or out of range.
    const float *GetMatrix(int iStep, int iPart) const;
    // Gives the frame one identity matrix per part, then the table's matrices
    // of the step (a step past the table uses the last one; parts past the
    // table keep the identity), then the frozen-node shift. The frame is left
    // as it is when there are no matrices and no frozen node. False for a
    // null frame, a frame without geometry or a failed allocation.
    bool ApplyToFrame(NKFrame *pFrame, int iStep);

    float *m_pMatrices = nullptr;  // owned, steps x parts x 16, step-major
    int m_iNumSteps = 0;
    int m_iNumParts = 0;
    int m_iFrozenNode = -1;  // node index within the frozen part; -1 none
    int m_iFrozenPart = -1;  // part index; -1 none
};

class NKViewPointTable {
public:
    NKViewPointTable() = default;
    ~NKViewPointTable();
    NKViewPointTable(const NKViewPointTable &) = delete;
    NKViewPointTable &operator=(const NKViewPointTable &) = delete;

    // Frees the three arrays; count 0.
    void Init();
    // Frees the arrays and makes count entries in each. False for count < 1
    // or when an allocation fails (the arrays obtained are freed again and
    // the table is left empty).
    bool Allocate(int iCount);
    // Copies the three vectors into entry iIndex; ignored outside the table.
    void Set(int iIndex, const float *pfEye, const float *pfVrp, const float *pfVup);
    // Gives the frame a new viewpoint (reference count 1) from entry iStep
    // (a step past the table uses the last entry) and sets its step index to
    // iStep.
    // Without a table, or for a negative step, the frame is left as it is and
    // the answer is true. False for a null frame or a failed allocation.
    bool ApplyToFrame(NKFrame *pFrame, int iStep);

    float (*m_pEye)[3] = nullptr;  // owned, one per step
    float (*m_pVrp)[3] = nullptr;  // owned, view reference points
    float (*m_pVup)[3] = nullptr;  // owned, up vectors
    int m_iCount = 0;
};

// The program's two tables, alive for the whole run.
extern NKTransformationTable g_TransformationTable;
extern NKViewPointTable g_ViewPointTable;

// Scales and moves every frame's part matrices so that frame 0's mode-1
// geometry box fits the model box: M = T(d) T(cB) S(ratio) T(-cB) M, then
// recomputes all boxes, runs "rotationpoint model" and recomputes the node
// traces. False without a model, frames or frame 0's box.
bool NKFitTransformationsToModelBox(void);
