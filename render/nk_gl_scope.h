// render/nk_gl_scope.h -- scope guards for the GL state stacks: one per
// kind (a matrix stack, the attribute stack, the client attribute stack).
//
// A drawing function leaves GL as it found it. Where a helper sets up a
// drawing mode, the caller holds the guard and the helper only sets state,
// so that each push and its pop stand in one function: the guard pushes on
// construction and pops when the scope ends, on every way out of it. The
// screen overlay frame of nk_primitives.h (NKScreenFrame) is the same idea
// for both matrices at once. tests/scripts/check_gl_pairs.py counts the
// pushes and pops of every other function.
#pragma once

#include <GL/gl.h>

// Selects the matrix stack eStack and pushes it; the matrix is then the
// caller's to change. The end of the scope selects eStack again, pops it and
// leaves the model-view matrix current, as drawing code expects between
// calls.
class NKMatrixScope {
public:
    explicit NKMatrixScope(GLenum eStack);
    ~NKMatrixScope();
    NKMatrixScope(const NKMatrixScope &) = delete;
    NKMatrixScope &operator=(const NKMatrixScope &) = delete;

private:
    GLenum m_eStack;
};

// Pushes the server attribute groups of uMask (glPushAttrib); the end of
// the scope pops them.
class NKAttribScope {
public:
    explicit NKAttribScope(GLbitfield uMask);
    ~NKAttribScope();
    NKAttribScope(const NKAttribScope &) = delete;
    NKAttribScope &operator=(const NKAttribScope &) = delete;
};

// Pushes the client attribute groups of uMask (glPushClientAttrib: pixel
// store, vertex arrays); the end of the scope pops them.
class NKClientAttribScope {
public:
    explicit NKClientAttribScope(GLbitfield uMask);
    ~NKClientAttribScope();
    NKClientAttribScope(const NKClientAttribScope &) = delete;
    NKClientAttribScope &operator=(const NKClientAttribScope &) = delete;
};
