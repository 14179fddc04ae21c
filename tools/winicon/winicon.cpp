// fw-winicon: writes the .ico the Windows resources take, from the generated PNG icons.
// usage: fw-winicon OUT.ico SIZE:FILE.png...
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "engine/graphics/datafile.h"
#include "engine/graphics/output_file.h"
#include "tools/winicon/ico.h"

int main(int argc, char **argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: fw-winicon OUT.ico SIZE:FILE.png...\n");
        return 2;
    }
    std::vector<ICO_IMAGE> images;
    for (int i = 2; i < argc; i++) {
        const char *colon = std::strchr(argv[i], ':');
        ICO_IMAGE im{colon ? std::atoi(argv[i]) : 0, {}};
        std::string why;
        // A PNG icon of 256 pixels is tens of kilobytes; 4 MiB is far beyond any.
        if (!colon || !Read_Bounded_File(colon + 1, 4u << 20, im.png, &why)) {
            std::fprintf(stderr, "fw-winicon: %s: %s\n", argv[i], colon ? why.c_str() : "not SIZE:FILE");
            return 1;
        }
        images.push_back(std::move(im));
    }
    std::string why;
    std::vector<uint8_t> ico = Pack_Ico(images, &why);
    if (ico.empty() || !Write_Whole_File(argv[1], ico.data(), ico.size(), &why)) {
        std::fprintf(stderr, "fw-winicon: %s\n", why.c_str());
        return 1;
    }
    return 0;
}
