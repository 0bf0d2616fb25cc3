// nkf/nkf_step_lists.h -- the *QUOLINSCALAR (type 9), *QUOLINVECTOR
// (type 10) and *QUOLINVISIBILITY (type 11) blocks: per step, the IDs of
// the *RESULTS blocks (nkf_results.h) whose values together form a scalar
// result, a vector result or deformation, or the visibility of elements or
// faces at that step.
//
// The step machinery (counting, loading, GetNumResults, references) is
// NKFStepListBlock's (nkf_step_table.h). Here "%STEP" lines merge: a
// "%STEP" line opens a new step only after data lines, so a block may start
// its first step with "%STEP 1". The NKF import loads these blocks when the
// file is opened and builds its step table from them.
//
// ASCII directives besides "%NAME", "%DESCRIPTION" ("text" or #ID),
// "%STEP" n, "%STEPNAME" "text", "%STEPTIME" t:
//   scalar      "%SCALE_FACTOR" f, "%OFFSET" f
//   vector      "%SCALE_FACTOR" f, "%OFFSET" x y z, "%XVALUES", "%YVALUES",
//               "%ZVALUES", "%DEFORMATION", "%VECTOR_VALUES"
//   visibility  "%DEFAULTVISIBLE", "%DEFAULTINVISIBLE"
// Data lines: *RESULTS block IDs, blank or comma separated; "3-6" stands
// for 3, 4, 5, 6.
//
// Binary header record, scalar and vector (92 bytes, 104 and more with the
// extension):
//   offset  size  meaning
//   0       4     int32 header size (at least 92, below 1025)
//   4       4     int32 data size in bytes
//   8       80    char[80] name (blanks trimmed)
//   88      4     int32 step count
//   92      4     int32 read, not used (header size 104 and more)
//   96      4     int32 read, not used (same)
//   100     4     int32 extension flag (same): nonzero = every step record
//                 carries one more int32 after its ID count
// Visibility (96 bytes): 0 header size (at least 96), 4 data size,
// 8 char[80] name, 88 int32 default visible (nonzero = visible),
// 92 int32 step count.
// Data: one step record per step (layout in nkf_step_table.h).
#pragma once

#include <cstdint>

#include "nkf/nkf_step_table.h"

class Elements;

// What the three blocks share: the listed IDs name *RESULTS blocks, the
// steps merge, and the binary header is the scalar and vector layout above
// (the visibility block reads its own).
class NKFResultListBlock : public NKFStepListBlock {
public:
    bool HasExtension() const { return m_bExtraWord != 0; }

protected:
    NKFResultListBlock(NKFReader *pReader, int iBlockID, int iType);

    int ReferencedType() const override { return NKF_RESULTS; }
    const char *MissingReferenceText() const override;
    bool ReadHeaderFields(int iHeaderSize, int *piKnownBytes) override;
};

class NKFQuolinScalarBlock : public NKFResultListBlock {
public:
    NKFQuolinScalarBlock(NKFReader *pReader, int iBlockID);

    // True when some *RESULTS block listed for the 0-based model step (for
    // any step when iStep is -1) exists and has the mapping. Loads the
    // block when needed; false when that fails.
    bool HasResultMapping(int iMapping, int iStep);

    float GetScaleFactor() const { return m_fScaleFactor; }
    float GetOffset() const { return m_fOffset; }

protected:
    const char *ClassName() const override { return "NKFQuolinScalarBlock"; }
    int ParseOwnDirective(const NKString &word, const NKString &line) override;

private:
    float m_fScaleFactor;
    float m_fOffset;
};

class NKFQuolinVectorBlock : public NKFResultListBlock {
public:
    NKFQuolinVectorBlock(NKFReader *pReader, int iBlockID);

    float GetScaleFactor() const { return m_fScaleFactor; }
    const float *GetOffset() const { return m_afOffset; }
    bool IsXOnly() const { return m_bXOnly != 0; }
    bool IsYOnly() const { return m_bYOnly != 0; }
    bool IsZOnly() const { return m_bZOnly != 0; }
    bool IsDeformation() const { return m_bDeformation != 0; }

protected:
    const char *ClassName() const override { return "NKFQuolinVectorBlock"; }
    int ParseOwnDirective(const NKString &word, const NKString &line) override;

private:
    float m_fScaleFactor;
    float m_afOffset[3];
    uint8_t m_bXOnly;
    uint8_t m_bYOnly;
    uint8_t m_bZOnly;
    uint8_t m_bDeformation;
};

class NKFQuolinVisibilityBlock : public NKFResultListBlock {
public:
    NKFQuolinVisibilityBlock(NKFReader *pReader, int iBlockID);

    bool IsDefaultVisible() const { return m_bDefaultVisible != 0; }

    // The visibility byte of every element of the *ELEMENTS block over all
    // steps (0 visible, nonzero hidden). Elements that no listed *RESULTS
    // block mentions keep the fill byte: 0 for a default-visible block, 1
    // otherwise. The first value an element gets in any step stands.
    // *ppcBytes is a new NKAlloc array of *piCount bytes (null for none);
    // the caller frees it. False when loading fails.
    bool ComputeElementVisibility(Elements *pElements, int *piCount, uint8_t **ppcBytes);

protected:
    const char *ClassName() const override { return "NKFQuolinVisibilityBlock"; }
    int MinHeaderBytes() const override { return 96; }
    bool ReadHeaderFields(int iHeaderSize, int *piKnownBytes) override;
    int ParseOwnDirective(const NKString &word, const NKString &line) override;

private:
    uint8_t m_bDefaultVisible;
};
