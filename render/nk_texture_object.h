// render/nk_texture_object.h -- the texture object a part may refer to.
//
// The model records only store, compare and clear a pointer to it
// (NKPart::pTexture); the texture code owns and defines it.
#pragma once

// Placeholder: declared only, until the texture code defines the object.
struct NKTextureObject;
