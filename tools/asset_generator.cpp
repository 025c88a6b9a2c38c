// Writes the game's run-time assets, or with --review the pictures for judging them.
#include <cstring>
#include <iostream>

#include "tools/gen/Generator.h"

int main(int argc, char** argv)
{
    if (argc == 2 && std::strcmp(argv[1], "--review") != 0)
        return gen::generateAssets(argv[1]) ? 0 : 1;
    if (argc == 4 && std::strcmp(argv[1], "--review") == 0)
        return gen::writeReview(argv[2], argv[3]) ? 0 : 1;
    std::cerr << "usage: asset_generator OUTPUT_DIR\n"
                 "       asset_generator --review ASSET_DIR REVIEW_DIR\n";
    return 2;
}
