// render/nk_manipulator.cpp -- the slider handle's value and change flags
// (see nk_manipulator.h).
#include "render/nk_manipulator.h"

void SliderManipulator::SetValue(float v)
{
    if (v < m_fMinimum) v = m_fMinimum;
    if (v > m_fMaximum) v = m_fMaximum;
    m_fValue = v;
}

void SliderManipulator::ClearChanged()
{
    Manipulator::ClearChanged();
    m_bValueChanged = 0;
}

bool NKAreManipulatorsEnabled(void) { return false; }
