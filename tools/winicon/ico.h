// A Windows icon file (.ico) made of PNG pictures, one per size: the resource the Windows
// programs carry, packed from the icons the art generator draws.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// One picture of the icon: its side in pixels (1-256) and its PNG file's bytes.
struct ICO_IMAGE {
    int size;
    std::vector<uint8_t> png;
};

// The .ico bytes for images, in their order; empty with *error set when a size is out of range,
// a picture is empty or none is given.
std::vector<uint8_t> Pack_Ico(const std::vector<ICO_IMAGE> &images, std::string *error);
