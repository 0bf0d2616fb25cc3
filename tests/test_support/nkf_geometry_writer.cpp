// tests/test_support/nkf_geometry_writer.cpp -- *QUOLINGEOMETRY blocks for
// the NKF tests (see nkf_geometry_writer.h), binary words in the order of
// the layout table of nkf/nkf_geometry_block.h.
#include "tests/test_support/nkf_geometry_writer.h"

#include "tests/test_support/nkf_step_test_support.h"

static std::string IDLine(const std::vector<int32_t> &ids)
{
    std::string text;
    for (size_t i = 0; i < ids.size(); i++) text += (i ? ", " : "") + std::to_string(ids[i]);
    return text;
}

std::vector<std::string> GeometryLines(int32_t iID, const char *pszName,
                                       const std::vector<TestGeometryStep> &steps)
{
    std::vector<std::string> lines = {"*QUOLINGEOMETRY " + std::to_string(iID),
                                      "%NAME \"" + std::string(pszName) + "\""};
    for (const TestGeometryStep &s : steps) {
        lines.push_back("%STEP " + std::to_string(s.iNumber));
        lines.push_back("%STEPNAME \"" + s.name + "\"");
        lines.push_back("%STEPTIME " + NumberText(s.fTime));
        if (!s.faceSets.empty()) lines.insert(lines.end(), {"%INDEXEDFACESET", IDLine(s.faceSets)});
        if (!s.elements.empty()) lines.insert(lines.end(), {"%ELEMENTS", IDLine(s.elements)});
    }
    return lines;
}

static int32_t RecordBytes(const TestGeometryStep &s, int32_t iExtraWords)
{
    if (s.iMarker == NKF_TEST_OLDER_LAYOUT) return 92 + 4 * (int32_t)s.elements.size();
    return 104 + 4 * (iExtraWords + (int32_t)(s.elements.size() + s.faceSets.size()));
}

void AppendGeometryBlock(NKFTestWriter &w, int32_t iID, const char *pszName,
                         const std::vector<TestGeometryStep> &steps, int32_t iHeaderSize,
                         bool bExtraA, bool bExtraB)
{
    int32_t iExtraWords = (bExtraA ? 1 : 0) + (bExtraB ? 1 : 0), iData = 0;
    for (const TestGeometryStep &s : steps) iData += RecordBytes(s, iExtraWords);
    const int32_t aiFlags[2] = {bExtraA ? 1 : 0, bExtraB ? 1 : 0};
    w.BeginHeader();
    w.Int(1008);                   // block code: *QUOLINGEOMETRY
    w.Int(iID);                    // block ID
    w.Int(iHeaderSize);            // header size (92 known bytes)
    w.Int(iData);                  // data size
    w.Text80(pszName);             // name
    w.Int((int32_t)steps.size());  // step count
    for (int32_t i = 92; i < iHeaderSize; i += 4)
        w.Int(i < 100 ? aiFlags[(i - 92) / 4] : 0);  // flag
    w.EndHeader();
    for (const TestGeometryStep &s : steps) {
        w.Int(s.iNumber);                   // step number
        w.Text80(s.name.c_str());           // step name
        w.Float(s.fTime);                   // step time
        w.Int((int32_t)s.elements.size());  // element block count
        if (s.iMarker != NKF_TEST_OLDER_LAYOUT) {
            w.Int((int32_t)s.faceSets.size());                // face-set block count
            w.Int(s.iMarker);                                 // marker: 0 or -1
            w.Int(s.iPartAttributes);                         // part attributes block ID
            for (int k = 0; k < iExtraWords; k++) w.Int(55);  // extra word (not used)
        }
        for (int32_t id : s.elements) w.Int(id);  // element block ID
        if (s.iMarker == NKF_TEST_OLDER_LAYOUT) continue;
        for (int32_t id : s.faceSets) w.Int(id);  // face-set block ID
    }
    w.BeginHeader();
    w.Int(-999);  // end-of-block marker
    w.EndHeader();
}
