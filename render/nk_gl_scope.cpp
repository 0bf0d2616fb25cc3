// render/nk_gl_scope.cpp -- the GL state scope guards of nk_gl_scope.h.
#include "render/nk_gl_scope.h"

NKMatrixScope::NKMatrixScope(GLenum eStack) : m_eStack(eStack)
{
    glMatrixMode(m_eStack);
    glPushMatrix();
}

NKMatrixScope::~NKMatrixScope()
{
    glMatrixMode(m_eStack);
    glPopMatrix();
    if (m_eStack != GL_MODELVIEW) glMatrixMode(GL_MODELVIEW);
}

NKAttribScope::NKAttribScope(GLbitfield uMask) { glPushAttrib(uMask); }

NKAttribScope::~NKAttribScope() { glPopAttrib(); }

NKClientAttribScope::NKClientAttribScope(GLbitfield uMask) { glPushClientAttrib(uMask); }

NKClientAttribScope::~NKClientAttribScope() { glPopClientAttrib(); }
