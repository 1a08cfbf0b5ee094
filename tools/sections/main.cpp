// tavlo-sections: shows the format, length and sections of recordings (and of any WAV file)
// and exports the sections as Audacity label tracks.
#include "SectionsReport.h"

#include <iostream>

int main(int argc, char** argv) {
    return RunSections(std::vector<std::string>(argv + 1, argv + argc), std::cout, std::cerr);
}
