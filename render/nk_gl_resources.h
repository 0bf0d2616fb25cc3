// render/nk_gl_resources.h -- the display lists, textures and fonts that the
// drawing code keeps in the current OpenGL context and builds again for a
// new one (the shell's NKReinitRenderResources).
#pragma once

// Placeholder: the light, material and texture lists do not exist yet;
// flagging them does nothing.
void NKFlagAllListsForUpdate(void);
// Placeholder: no fringe texture yet; nothing is loaded.
void NKLoadFringeTexture(void);
// Placeholder: no texture images yet; nothing is marked.
void NKFlagAllTexturesForUpdate(void);
// Placeholder: the bitmap font lists of the current context come with the
// text drawing; nothing is built.
void NKBuildBitmapFontLists(void);
