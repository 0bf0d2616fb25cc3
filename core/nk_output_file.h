// core/nk_output_file.h -- a file written in one go: the data goes to a
// temporary file in the target's folder, which replaces the target only when
// every write and the close succeeded.
//
// Used by the geometry writers, the status dump, the NKF export and the image files. A failed or
// abandoned file leaves the target as it was and no temporary file behind. Binary words are written
// little-endian one by one, never as raw structures.
//
// A target that is a symbolic link is written through to the file it leads
// to; the link stays. A target that exists and is not a regular file (a
// folder, a device, a FIFO) is refused with an error naming it. Temporary
// files of the same target left by a killed writer ("NAME.tmpXXXXXX", older
// than a minute) are removed when the target is next written.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

class NKOutputFile {
public:
    NKOutputFile() = default;
    ~NKOutputFile() { Abandon(); }
    NKOutputFile(const NKOutputFile &) = delete;
    NKOutputFile &operator=(const NKOutputFile &) = delete;

    // Creates the temporary file beside the file pszTarget leads to; false
    // when it cannot be made (no folder, no permission, null or empty name,
    // a target that is not a regular file).
    bool Open(const char *pszTarget);
    // Writes; each remembers a failure, which Commit then reports.
    void WriteInt32(int32_t iValue);
    void WriteFloat32(float fValue);
    // Little-endian 16-bit words and big-endian 16- and 32-bit words (image
    // formats that fix their byte order).
    void WriteInt16(int16_t iValue);
    void WriteInt16BE(int16_t iValue);
    void WriteInt32BE(int32_t iValue);
    // Raw bytes as they are, and runs of words little-endian, converted in
    // blocks so that large arrays go out at disk speed.
    void WriteRaw(const void *pData, size_t n);
    void WriteInt32Array(const int32_t *piValues, size_t n);
    void WriteFloat32Array(const float *pfValues, size_t n);
    void Printf(const char *pszFormat, ...) __attribute__((format(printf, 2, 3)));
    // Closes the temporary file and renames it over the target. False (the
    // temporary file removed, the target untouched) when any write, the
    // close or the rename failed.
    bool Commit(void);
    // Closes and removes the temporary file without touching the target.
    void Abandon(void);

    bool IsOk() const { return m_bOk; }
    FILE *Stream() const { return m_pFile; }

private:
    void WriteBytes(const unsigned char *pBytes, size_t n);
    void WriteWords(const void *pWords, size_t n);

    FILE *m_pFile = nullptr;
    std::string m_szTarget;
    std::string m_szTemp;
    bool m_bOk = false;
};
