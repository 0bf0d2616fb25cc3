// tools/nk_texture_commands.h -- the texture commands: reading texture
// images from files or the clipboard, mapping them onto parts as planar
// textures or sphere environment maps, the parts' texture options (plane,
// environment mode, repeat, filtering), listing and clearing the images.
//
// NKCommandHandleTexture sits in slot NK_HANDLER_TEXTURE of the handler
// chain; NKRegisterTextureCommands fills it at start-up. Part ranges are
// 1-based and change every geometry of the model once; every change of a
// part's texture state flags the part texture lists of the range, every
// change of the images the image lists.
#pragma once

struct CommandTableEntry;

int NKCommandHandleTexture(CommandTableEntry *pEntry, const char *pszArguments);
void NKRegisterTextureCommands(void);
