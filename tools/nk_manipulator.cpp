// tools/nk_manipulator.cpp -- the slider handle's value and change flags and
// the plane handle's fields (see nk_manipulator.h).
#include "tools/nk_manipulator.h"

#include <cstring>

void SliderManipulator::SetValue(float v)
{
    if (v < m_fMinimum) v = m_fMinimum;
    if (v > m_fMaximum) v = m_fMaximum;
    m_fValue = v;
}

void SliderManipulator::SetRange(float fMinimum, float fMaximum)
{
    m_fMinimum = fMinimum;
    m_fMaximum = fMaximum;
    m_fStep = (fMaximum - fMinimum) * 0.01f;
    SetValue(m_fValue);
}

void SliderManipulator::ClearChanged()
{
    Manipulator::ClearChanged();
    m_bValueChanged = 0;
}

void PlaneManipulator::SetPosition(const float *pfPoint)
{
    std::memcpy(m_fPosition, pfPoint, sizeof m_fPosition);
}

void PlaneManipulator::SetNormal(const float *pfNormal)
{
    std::memcpy(m_fNormal, pfNormal, sizeof m_fNormal);
}

void PlaneManipulator::SetAxis(const float *pfAxis)
{
    std::memcpy(m_fAxis, pfAxis, sizeof m_fAxis);
}

void PlaneManipulator::SetSize(float fWidth, float fHeight)
{
    m_fWidth = fWidth;
    m_fHeight = fHeight;
}

void PlaneManipulator::GetPosition(float *pfOut) const
{
    std::memcpy(pfOut, m_fPosition, sizeof m_fPosition);
}

void PlaneManipulator::GetNormal(float *pfOut) const
{
    std::memcpy(pfOut, m_fNormal, sizeof m_fNormal);
}

void PlaneManipulator::GetAxis(float *pfOut) const { std::memcpy(pfOut, m_fAxis, sizeof m_fAxis); }

bool NKAreManipulatorsEnabled(void) { return false; }
