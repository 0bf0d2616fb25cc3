// readers/nk_shell_axes.h -- the local axes and principal strain lines of
// picked shell elements of an LS-DYNA plot database: the one NKShellAxes
// record with its switches, colours and cache of computed element axes.
//
// The scene's overlay pass asks it for the lines of each picked element; the
// shellaxes command (commands/nk_shell_axes_command.h) switches it. Strains
// are read per element over the family (NKLSDynaReadStateResult, keys 1000
// to 1011); the local system is the one of the LS-DYNA strain quantities.
#pragma once

#include <cstdint>
#include <vector>

// Switch and axis masks.
enum : uint32_t {
    NK_SHELLAXES_COORDSYS = 0x10000000u,
    NK_SHELLAXES_STRAINS = 0x01000000u,
    NK_SHELLAXES_X = 0x20000000u,
    NK_SHELLAXES_Y = 0x40000000u,
    NK_SHELLAXES_Z = 0x80000000u
};

// A shell of the model: part index and element index in the part.
struct NKShellElementKey {
    int iPart;
    int iElement;
};

class NKShellAxes {
public:
    // True when a switch selected by the mask is on.
    bool IsEnabled(uint32_t uMask) const;
    bool IsAnyEnabled(void) const { return m_bCoordSys || m_bStrains; }
    // Set or clear the selected switches; Disable frees the cache once both
    // are off. DisableAll clears both (a new model).
    void Enable(uint32_t uMask);
    void Disable(uint32_t uMask);
    void DisableAll(void);
    // Centre and the three axis ends of a shell in frame iFrame. False for a
    // null output, an element that is not a 4-node shell, a frame without a
    // state of equal time, or a failed read.
    bool ComputeElementAxes(int iFrame, NKShellElementKey key, float *pfCentre, float *pfX,
                            float *pfY, float *pfZ);
    // The major line (points 0, 1) and minor line (2, 3) of the selected
    // shell surface, each coloured tensile (strain >= 0) or compressive.
    bool ComputeStrainAxes(int iFrame, NKShellElementKey key, float pfPoints[4][3],
                           const float **ppfMajorColor, const float **ppfMinorColor);
    // The colour of one axis (x, y, z mask); white for any other mask.
    const float *GetAxisColor(uint32_t uMask) const;
    float GetLineWidth(void) const { return m_fLineWidth; }
    int GetCacheCount(void) const { return (int)m_Cache.size(); }

private:
    struct Record {
        int iState = -1, iPart = -1, iElement = -1;
        float axes[4][3] = {};  // unscaled x, y, z and spare
        float centre[3] = {}, xEnd[3] = {}, yEnd[3] = {}, zEnd[3] = {};
        float lines[12][3] = {};  // per surface: major start, end, minor start, end
        float strains[6] = {};    // major and minor of inner, middle, outer
    };
    const Record *Find(int iFrame, NKShellElementKey key);
    bool Compute(int iState, int iFrame, NKShellElementKey key, Record *pRecord);

    uint8_t m_bCoordSys = 0, m_bStrains = 0;
    float m_fColorX[3] = {1, 1, 0}, m_fColorY[3] = {0, 1, 0}, m_fColorZ[3] = {0, 1, 1};
    float m_fTensile[3] = {1, 0, 0}, m_fCompressive[3] = {0, 0, 1};
    float m_fDefault[3] = {1, 1, 1};
    float m_fLineWidth = 1.0f;
    std::vector<Record> m_Cache;
};

extern NKShellAxes g_ShellAxes;
