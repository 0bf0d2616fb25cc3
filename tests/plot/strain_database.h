// tests/plot/strain_database.h -- the four-state LS-DYNA shell database with
// local strains that the element history and forming limit tests read.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/test_support/lsdyna_test_writer.h"

constexpr int kStrainNV2D = 45;  // 3 x 7 stresses, 12 strain words: ISTRN 1

// The unit square shell 1 2 3 4 in z = 0; state k at time k / 1000 has the
// strains xx 0.02 (k + 1), yy -0.01 (k + 1) on both surfaces.
inline void WriteStrainDatabase(const std::string &path)
{
    LSDynaTestHeader h = LSDynaShellFixtureHeader();
    h.w[33] = kStrainNV2D;
    LSDynaTestWriter w;
    LSDynaWriteHeader(&w, h, "strain fixture");
    w.Floats({0, 0, 0, 1, 0, 0, 1, 1, 0, 0, 1, 0});
    w.Ints({1, 2, 3, 4, 1});
    for (int k = 0; k < 4; k++) {
        w.Float(0.001 * k);
        w.Floats({0, 0, 0, 1, 0, 0, 1, 1, 0, 0, 1, 0});
        std::vector<double> words(kStrainNV2D, 0.0);
        double s = k + 1;
        words[33] = words[39] = 0.02 * s;
        words[34] = words[40] = -0.01 * s;
        w.Floats(words);
    }
    ASSERT_TRUE(w.Save(path));
}
