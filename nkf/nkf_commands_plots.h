// nkf/nkf_commands_plots.h -- the *QUOLINCOMMANDS (type 14) and
// *2DPLOTSERIES (type 15) blocks: command lines of the command language
// grouped by step (optionally marked as start-up commands), and one 2-D
// plot with its axes and its named, coloured series of (x, y) points.
//
// The NKF import reads the command block's steps; the NKF plot files of the
// 2-D plots read plot-series blocks through GetNumPoints / GetPoints and
// the names. Command steps are counted by NKFStepCounter (nkf_step_table.h):
// commands before the first "%STEP" form a step of their own, every other
// "%STEP" line opens one. Series open at "%SERIES" lines once a point has
// been read (those before the first point name the first series).
//
// *QUOLINCOMMANDS, ASCII: "%STARTUP", "%NAME" "text", "%STEP" n,
// "%STEPNAME" "text", "%STEPTIME" t; every other line is one command of
// the current step, kept whole. Binary (the format leaves it open, this
// reader fixes it): header record of at least 8 bytes (int32 header size,
// int32 data size = text length), surplus header bytes, then the text of
// the ASCII block body (lines ended by LF, CR LF accepted), read with the
// same rules as the ASCII lines.
//
// *2DPLOTSERIES, ASCII: "%NAME", "%XAXIS_NAME", "%YAXIS_NAME" with quoted
// texts; "%XAXIS_MIN", "%XAXIS_MAX", "%XAXIS_UNIT", "%YAXIS_MIN",
// "%YAXIS_MAX", "%YAXIS_UNIT" with a number; "%SERIES", "%SERIES_NAME"
// "text", "%SERIES_COLOR" r g b; value lines "x y".
// Binary header record, 276 bytes:
//   offset  size  meaning
//   0       4     int32 header size (at least 276, below 1025)
//   4       4     int32 data size in bytes
//   8       80    char[80] plot name (trimmed)
//   88      80    char[80] x-axis name (trimmed)
//   168     80    char[80] y-axis name (trimmed)
//   248     24    float32 x min, x max, x unit, y min, y max, y unit
//                 (3.4028235e38 when not given)
//   272     4     int32 series count
// Data, per series: char[80] name, float32 red, green, blue, int32 point
// count n, 2 x n float32 (x0, y0, x1, y1, ...).
#pragma once

#include <cstdint>

#include "nkf/nkf_step_table.h"

class NKFBodyLines;

class NKFQuolinCommandBlock : public NKFSteppedBlock {
public:
    NKFQuolinCommandBlock(NKFReader *pReader, int iBlockID);
    ~NKFQuolinCommandBlock() override;

    bool ParseBlock() override;
    bool LoadData() override;
    bool WriteBlock() override
    {
        return ReportFailure("NKFQuolinCommandBlock::WriteBlock, not implemented yet");
    }
    // Frees the commands, names, times and numbers; the counts stay.
    void FreeData() override;

    bool IsStartup() const { return m_bStartup != 0; }
    // Commands of step index i (0 out of range).
    int GetNumCommands(int i) const;
    // Command k of step index i; "" when not loaded or out of range.
    NKString GetCommand(int i, int k) const;

private:
    bool ReadBinaryText(char **ppszText, int64_t *piLength);
    bool ParseLines(NKFBodyLines *pLines);
    bool LoadLines(NKFBodyLines *pLines);
    bool WithLines(bool bLoad);

    int32_t *m_piCommandsPerStep;  // owned; counted by ParseBlock
    NKString **m_ppCommands;       // owned; per step an owned array (null when empty)
    uint8_t m_bStartup;
};

// Which axis value a not-given flag belongs to.
enum NKFPlotAxisValue {
    NKF_PLOT_XMIN = 0,
    NKF_PLOT_XMAX = 1,
    NKF_PLOT_XUNIT = 2,
    NKF_PLOT_YMIN = 3,
    NKF_PLOT_YMAX = 4,
    NKF_PLOT_YUNIT = 5
};

class NKF2DPlotSeriesBlock : public NKFBlock {
public:
    NKF2DPlotSeriesBlock(NKFReader *pReader, int iBlockID);
    ~NKF2DPlotSeriesBlock() override;

    bool ParseBlock() override;
    bool LoadData() override;
    bool WriteBlock() override
    {
        return ReportFailure("NKF2DPlotSeriesBlock::WriteBlock, not implemented yet");
    }
    int GetNumItems() override { return m_iNumSeries; }
    // Frees names, colours and points; the point counts stay.
    void FreeData() override;

    // Point count of a series; 0 out of range.
    int GetNumPoints(int iSeries) const;
    // Its (x, y) pairs, owned by the block; null out of range or not loaded.
    float *GetPoints(int iSeries) const;

    int GetNumSeries() const { return m_iNumSeries; }
    const NKString &GetName() const { return name; }
    const NKString &GetXAxisName() const { return m_XAxisName; }
    const NKString &GetYAxisName() const { return m_YAxisName; }
    // Series name and colour (red, green, blue); "" / null out of range.
    NKString GetSeriesName(int iSeries) const;
    const float *GetSeriesColor(int iSeries) const;
    // One of the six axis values (NKFPlotAxisValue), and whether its ASCII
    // directive was missing (a binary header leaves every flag set).
    float GetAxisValue(int iWhich) const;
    bool IsAxisValueMissing(int iWhich) const;

private:
    bool ParseAscii();
    bool ParseDirective(const NKString &line, NKFStepCounter *pCounter);
    bool ParseBinary();
    bool AllocateSeries();
    bool LoadAscii();
    bool LoadBinary();
    bool LoadBinarySeries(int i, int64_t *piBytesLeft);

    int32_t m_iNumSeries;
    NKString name;
    int32_t *m_piPointsPerSeries;  // owned
    float **m_ppfPoints;           // owned; per series 2 x n floats (null when empty)
    NKString *m_pSeriesNames;      // owned
    float *m_pfSeriesColors;       // owned; 3 per series
    NKString m_XAxisName;
    NKString m_YAxisName;
    float m_afAxis[6];  // x min, x max, x unit, y min, y max, y unit
    uint8_t m_abNotGiven[6];
};
