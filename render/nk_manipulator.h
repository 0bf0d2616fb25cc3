// render/nk_manipulator.h -- the interactive 3-D handles, as far as the tools
// that own one use them today: a name, a change flag, and the slider that the
// iso-surface state owns ("Iso Surface Slider").
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

protected:
    NKString m_szName;
    uint8_t m_bChanged = 1;
};

// A bar slider carrying one value in [minimum, maximum] (0 to 100, value 50
// after construction).
class SliderManipulator : public Manipulator {
public:
    explicit SliderManipulator(const char *pszName) : Manipulator(pszName) {}

    // Clamps v into [minimum, maximum]; the change flag is left as it is
    // (only a drag sets it).
    void SetValue(float v);
    float GetValue() const { return m_fValue; }
    float GetMinimum() const { return m_fMinimum; }
    float GetMaximum() const { return m_fMaximum; }
    bool IsChanged() const override { return m_bValueChanged != 0; }
    // Clears the base change flag and the value-changed flag.
    void ClearChanged() override;

private:
    float m_fMinimum = 0.0f;
    float m_fMaximum = 100.0f;
    float m_fValue = 50.0f;
    uint8_t m_bValueChanged = 1;
};

// Placeholder: the switch of the interactive handles; nothing turns it on,
// so the handles are never offered. Always false.
bool NKAreManipulatorsEnabled(void);
