// platform/nk_sound_recording.cpp -- the recording sound output (see
// nk_sound_recording.h): each call becomes one line of the caller's log.
#include "platform/nk_sound_recording.h"

#include <cstdio>

namespace {

std::vector<std::string> *sg_pLog = nullptr;
bool sg_bOpenFails = false;

std::string Number(double d)
{
    char acText[32];
    std::snprintf(acText, sizeof(acText), "%g", d);
    return acText;
}

class RecordingOutput : public NKSoundOutput {
public:
    bool Open() override
    {
        Log("open");
        return !sg_bOpenFails;
    }
    int CreateVoice(const uint8_t *pData, int64_t nBytes, int iRate, int iBits,
                    int iChannels) override
    {
        if (pData == nullptr || nBytes <= 0) return 0;
        m_Playing.push_back(false);
        const int iVoice = static_cast<int>(m_Playing.size());
        Log("voice " + std::to_string(iVoice) + " " + std::to_string(iRate) + " " +
            std::to_string(iBits) + " " + std::to_string(iChannels) + " " + std::to_string(nBytes));
        return iVoice;
    }
    bool Play(int iVoice, bool bLoop) override
    {
        return Set(iVoice, true, "play", bLoop ? "loop" : "once");
    }
    bool Stop(int iVoice) override { return Set(iVoice, false, "stop", ""); }
    bool Rewind(int iVoice) override { return Call(iVoice, "rewind", ""); }
    bool IsPlaying(int iVoice) override { return Known(iVoice) && m_Playing[iVoice - 1]; }
    bool SetVolume(int iVoice, int iVolume) override
    {
        return Call(iVoice, "volume", std::to_string(iVolume));
    }
    bool SetPan(int iVoice, int iPan) override { return Call(iVoice, "pan", std::to_string(iPan)); }
    bool SetFrequency(int iVoice, int iHz) override
    {
        return Call(iVoice, "frequency", std::to_string(iHz));
    }
    bool SetPosition(int iVoice, const float *pfPosition) override
    {
        if (pfPosition == nullptr) return Call(iVoice, "position", "normal");
        return Call(iVoice, "position",
                    Number(pfPosition[0]) + " " + Number(pfPosition[1]) + " " +
                        Number(pfPosition[2]));
    }
    void SetListener(const float *pfEye, const float *pfReference, const float *pfUp) override
    {
        std::string line = "listener";
        for (const float *pfVector : {pfEye, pfReference, pfUp})
            for (int k = 0; k < 3; k++) line += " " + Number(pfVector[k]);
        Log(line);
    }
    void ReleaseVoice(int iVoice) override
    {
        if (Call(iVoice, "release", "")) m_Playing[iVoice - 1] = false;
    }

private:
    bool Known(int iVoice) const
    {
        return iVoice >= 1 && iVoice <= static_cast<int>(m_Playing.size());
    }
    static void Log(const std::string &line)
    {
        if (sg_pLog != nullptr) sg_pLog->push_back(line);
    }
    bool Call(int iVoice, const char *pszCall, const std::string &values)
    {
        if (!Known(iVoice)) return false;
        Log(std::string(pszCall) + " " + std::to_string(iVoice) +
            (values.empty() ? "" : " " + values));
        return true;
    }
    bool Set(int iVoice, bool bPlaying, const char *pszCall, const char *pszValue)
    {
        if (!Call(iVoice, pszCall, pszValue)) return false;
        m_Playing[iVoice - 1] = bPlaying;
        return true;
    }

    std::vector<bool> m_Playing;
};

NKSoundOutput *MakeRecordingOutput(void) { return new RecordingOutput(); }

}  // namespace

void NKInstallRecordingSoundOutput(std::vector<std::string> *pLog, bool bOpenFails)
{
    sg_pLog = pLog;
    sg_bOpenFails = bOpenFails;
    NKSetSoundOutputFactory(pLog != nullptr ? MakeRecordingOutput : nullptr);
}
