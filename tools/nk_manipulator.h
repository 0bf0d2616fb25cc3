// tools/nk_manipulator.h -- the interactive 3-D handles, as far as the tools
// that own one use them today: a name, a change flag, the slider that the
// iso-surface state owns ("Iso Surface Slider") and the plane handle that the
// cutting-plane set owns ("Cutting Plane").
//
// Placeholder: the full handles (boxes, planes, rulers, grid boxes, their
// drawing, picking and the manipulator list) come with the scene drawing.
// The handles are never drawn or dragged while NKAreManipulatorsEnabled()
// answers false, which no command changes; the owners only read and set the
// values, so this stand-in keeps those.
#pragma once

#include <cstdint>

#include "core/nk_string.h"

// The base of every handle. A handle starts changed, so that its owner takes
// its values the first time it looks.
class Manipulator {
public:
    explicit Manipulator(const char *pszName) : m_szName(pszName) {}
    virtual ~Manipulator() = default;
    Manipulator(const Manipulator &) = delete;
    Manipulator &operator=(const Manipulator &) = delete;

    const NKString &GetName() const { return m_szName; }
    virtual bool IsChanged() const { return m_bChanged != 0; }
    virtual void ClearChanged() { m_bChanged = 0; }
    // Only an enabled handle is shown (and so kept up to date by its owner);
    // a handle starts disabled.
    bool IsEnabled() const { return m_bEnabled != 0; }
    void SetEnabled(bool bEnabled) { m_bEnabled = bEnabled ? 1 : 0; }

protected:
    NKString m_szName;
    uint8_t m_bChanged = 1;
    uint8_t m_bEnabled = 0;
};

// A bar slider carrying one value in [minimum, maximum] (0 to 100, value 50
// after construction).
class SliderManipulator : public Manipulator {
public:
    explicit SliderManipulator(const char *pszName) : Manipulator(pszName) {}

    // Clamps v into [minimum, maximum]; the change flag is left as it is
    // (only a drag sets it).
    void SetValue(float v);
    // Sets both ends, the step to 1 % of the range, and clamps the value.
    void SetRange(float fMinimum, float fMaximum);
    float GetValue() const { return m_fValue; }
    float GetStep() const { return m_fStep; }
    float GetMinimum() const { return m_fMinimum; }
    float GetMaximum() const { return m_fMaximum; }
    bool IsChanged() const override { return m_bValueChanged != 0; }
    // Clears the base change flag and the value-changed flag.
    void ClearChanged() override;

private:
    float m_fMinimum = 0.0f;
    float m_fMaximum = 100.0f;
    float m_fStep = 1.0f;
    float m_fValue = 50.0f;
    uint8_t m_bValueChanged = 1;
};

// A handle with a rotation that a drag may change, unless it is locked.
class BoxManipulator : public Manipulator {
public:
    explicit BoxManipulator(const char *pszName) : Manipulator(pszName) {}
    void SetRotationEnabled(bool bEnabled) { m_bRotationEnabled = bEnabled ? 1 : 0; }
    bool IsRotationEnabled() const { return m_bRotationEnabled != 0; }

private:
    uint8_t m_bRotationEnabled = 1;
};

// Placeholder: the plane handle, keeping only what its owner reads and sets
// (position, normal, in-plane axis, width and height); it is never drawn or
// dragged, so nothing but a drag would set its change flag.
class PlaneManipulator : public BoxManipulator {
public:
    explicit PlaneManipulator(const char *pszName) : BoxManipulator(pszName) {}

    // The setters copy their values and leave the change flag alone.
    void SetPosition(const float *pfPoint);
    void SetNormal(const float *pfNormal);
    void SetAxis(const float *pfAxis);
    void SetSize(float fWidth, float fHeight);
    void GetPosition(float *pfOut) const;
    void GetNormal(float *pfOut) const;
    void GetAxis(float *pfOut) const;
    float GetWidth() const { return m_fWidth; }
    float GetHeight() const { return m_fHeight; }

private:
    float m_fPosition[3] = {0.0f, 0.0f, 0.0f};
    float m_fNormal[3] = {0.0f, 0.0f, 1.0f};
    float m_fAxis[3] = {0.0f, 1.0f, 0.0f};
    float m_fWidth = 0.2f;
    float m_fHeight = 0.2f;
};

// Placeholder: the switch of the interactive handles; nothing turns it on,
// so the handles are never offered. Always false.
bool NKAreManipulatorsEnabled(void);
