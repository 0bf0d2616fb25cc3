// examples/nkf_example_generator.cpp -- writes the example models beam.nkf
// and plate.nkf (ASCII NKF) into a folder, by default examples/ of the
// source tree. Usage: nkf_example_generator [FOLDER]
#include <cstdio>
#include <string>

#include "tests/test_support/nkf_example_models.h"

int main(int argc, char **argv)
{
    std::string folder = argc > 1 ? argv[1] : QUOLIN_EXAMPLES_DIR;
    if (!NKFWriteExampleModels(folder)) {
        fprintf(stderr, "nkf_example_generator: cannot write the example models to %s\n",
                folder.c_str());
        return 1;
    }
    printf("Wrote %s/beam.nkf and %s/plate.nkf\n", folder.c_str(), folder.c_str());
    return 0;
}
