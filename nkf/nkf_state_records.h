// nkf/nkf_state_records.h -- the fixed records of the display-state blocks
// (*PARTATTRIBUTES, *SETTINGS, *ITEMS): part attributes, the main, scalar,
// vector and extra settings, and the five item kinds.
//
// A record is a row of 32-bit words; word 0 is its size in bytes. Integer
// and float words are read and written one by one in the file's byte order;
// text fields are 80 raw bytes (20 words) that no byte order touches, so
// they sit in the word array byte for byte. The import blocks (nkf_state_
// blocks.h) and the settings export (nkf_export_settings.cpp) share these
// records, so the same word holds the same setting on both sides.
//
// Unset marks: an int32 of -1, a float of FLT_MAX (3.4028235e38), a colour
// or material float below 0.0, a text whose first byte is 0. NKFInit*
// gives a record the defaults of its kind (word 233 of the main record is
// -999; the extra record's last words are 0).
//
// Word layouts (I int32, F float32, T char[80] = 20 words):
//   main (1228 bytes, 307 words, at least 948): 1-12 I; 13-33 F; 34-36 I;
//     37-45 F; 46-47 I; 48-67 T; 68-80 I; 81-84 F; 85-94 I; 95-109 F;
//     110-129 T; 130-131 F; 132-151 T; 152 I; 153-172 T; 173 I; 174-175 F;
//     176-195 T; 196-197 I; 198-199 F; 200-205 I; 206-213 F; 214-229 I;
//     230 F; 231-235 I; 236-237 F; 238-247 I; 248-250 F; 251 I; 252-299 F;
//     300-306 I. Words 237 on are read only when the size covers them.
//   scalar (28 bytes, at least 24): 1-2 F; 3-4 I; 5-6 F.
//   vector (72 bytes): 1 F; 2 I; 3 F; 4-6 F; 7-9 I; 10-12 F; 13 I; 14-15 F;
//     16-17 I.
//   extra (428 bytes, 107 words): 1-60 three T; 61-64 I; 65-66 F; 67-80 I;
//     81-87 F; 88-93 I; 94-96 F; 97-99 I; 100-106 F.
//   part attributes (220 bytes, 55 words): 1-11 I; 12-29 F; 30-49 T;
//     50-54 I.
//   items: cutting plane (44): 1-6 F, 7-10 I; iso-surface (8): 1 F;
//     particle-trace set (44): 1-4 I, 5-10 F; trace and node plot (12):
//     1-2 I (node, part).
#pragma once

#include <cstdint>
#include <cstring>

#include "core/nk_string.h"

const int NKF_MAIN_SETTINGS_WORDS = 307;
const int NKF_MAIN_SETTINGS_MIN_BYTES = 948;
const int NKF_SCALAR_SETTINGS_WORDS = 7;
const int NKF_SCALAR_SETTINGS_MIN_BYTES = 24;
const int NKF_VECTOR_SETTINGS_WORDS = 18;
const int NKF_EXTRA_SETTINGS_WORDS = 107;
const int NKF_PART_ATTRIBUTES_WORDS = 55;
const int NKF_CUTPLANE_ITEM_WORDS = 11;
const int NKF_ISOSURFACE_ITEM_WORDS = 2;
const int NKF_PARTICLE_ITEM_WORDS = 11;
const int NKF_NODE_ITEM_WORDS = 3;

// The largest float, the unset mark of value words.
const float NKF_UNSET_FLOAT = 3.4028235e38f;

// One record of N words with typed access. Word numbers are those of the
// layouts above.
template <int N>
struct NKFRecord {
    int32_t aiWords[N];

    int32_t I(int n) const { return aiWords[n]; }
    float F(int n) const
    {
        float f;
        std::memcpy(&f, &aiWords[n], 4);
        return f;
    }
    void SetI(int n, int32_t i) { aiWords[n] = i; }
    void SetF(int n, float f) { std::memcpy(&aiWords[n], &f, 4); }
    // The 80-byte text starting at word n: at most 79 characters.
    NKString Text(int n) const
    {
        const char *p = reinterpret_cast<const char *>(&aiWords[n]);
        size_t len = strnlen(p, 79);
        NKString s;
        s.Assign(p, (int)len);
        return s;
    }
    // At most 79 characters, the rest of the 80 bytes zero.
    void SetText(int n, const char *psz)
    {
        char *p = reinterpret_cast<char *>(&aiWords[n]);
        std::memset(p, 0, 80);
        if (psz != nullptr) std::memcpy(p, psz, strnlen(psz, 79));
    }
    bool IsSetI(int n) const { return aiWords[n] != -1; }
    bool IsSetF(int n) const { return F(n) != NKF_UNSET_FLOAT; }
};

using NKFMainSettings = NKFRecord<NKF_MAIN_SETTINGS_WORDS>;
using NKFScalarSettings = NKFRecord<NKF_SCALAR_SETTINGS_WORDS>;
using NKFVectorSettings = NKFRecord<NKF_VECTOR_SETTINGS_WORDS>;
using NKFExtraSettings = NKFRecord<NKF_EXTRA_SETTINGS_WORDS>;
using NKFPartAttributes = NKFRecord<NKF_PART_ATTRIBUTES_WORDS>;
using NKFCutPlaneItem = NKFRecord<NKF_CUTPLANE_ITEM_WORDS>;
using NKFIsoSurfaceItem = NKFRecord<NKF_ISOSURFACE_ITEM_WORDS>;
using NKFParticleTraceItem = NKFRecord<NKF_PARTICLE_ITEM_WORDS>;
using NKFNodeItem = NKFRecord<NKF_NODE_ITEM_WORDS>;

void NKFInitMainSettings(NKFMainSettings *pRec);
void NKFInitScalarSettings(NKFScalarSettings *pRec);
void NKFInitVectorSettings(NKFVectorSettings *pRec);
void NKFInitExtraSettings(NKFExtraSettings *pRec);
void NKFInitPartAttributes(NKFPartAttributes *pRec);
void NKFInitCutPlaneItem(NKFCutPlaneItem *pRec);
void NKFInitIsoSurfaceItem(NKFIsoSurfaceItem *pRec);
void NKFInitParticleTraceItem(NKFParticleTraceItem *pRec);
void NKFInitNodeItem(NKFNodeItem *pRec);

// The first words of the text fields of each kind (-1 ends the list): the
// readers and writers move them as raw bytes.
extern const int g_aiMainTextWords[];
extern const int g_aiExtraTextWords[];
extern const int g_aiPartTextWords[];
extern const int g_aiNoTextWords[];

// A colour byte as the records keep it (c x 1/255) and back (x 255,
// truncated; false for an unset component below 0).
float NKFColorToFloat(uint8_t c);
bool NKFFloatToColor(float f, uint8_t *pc);
