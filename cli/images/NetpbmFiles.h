// Netpbm image files, which every build of qxv reads and writes with its own code: PAM (P7)
// with grey, grey + alpha, RGB or RGBA tuples, PPM (P6) and PGM (P5), 8 bits (maxval 255) or
// 16 bits (maxval 65535) per sample, big-endian as the format stores them. One image per
// file; nothing else of Netpbm (plain text variants, other maxvals, bitmaps) is read.
//
// Into worlds: as for every image file (ImageFiles.h). A 16-bit sample v goes to an 8-bit
// world as round(v × 255 / 65535), an 8-bit sample to a 16-bit world as if it were v × 257,
// and float worlds take v / maxval.
// Out of worlds: .pam as RGB_ALPHA, .ppm as RGB (alpha dropped), 8-bit worlds at maxval 255,
// 16-bit and float worlds at maxval 65535 (float limited to 0..1 and rounded).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "cli/images/ImageFiles.h"
#include "hostsim/World.h"

namespace qxv::cli {

struct NetpbmImage {
    int width = 0;
    int height = 0;
    int channels = 0;  // 1 grey, 2 grey + alpha, 3 RGB, 4 RGBA
    int maxval = 255;  // 255 or 65535
    std::vector<std::uint16_t> samples;  // interleaved, row after row
};

// .pam, .ppm, .pgm or .pnm, in any letter case.
bool IsNetpbmPath(const std::string& path);

// Header only (`samples` stays empty) or the whole image; on failure `error` says why.
bool DecodeNetpbmHeader(const std::vector<std::uint8_t>& bytes, NetpbmImage& image, std::size_t& raster_offset,
                        std::string& error);
bool DecodeNetpbm(const std::vector<std::uint8_t>& bytes, NetpbmImage& image, std::string& error);
// PAM for 2 or 4 channels, PPM for 3, PGM for 1.
std::vector<std::uint8_t> EncodeNetpbm(const NetpbmImage& image);

// Samples into a world and back, as the reader and writer below convert them (the header's
// comment); the Windows image codecs hand their pixels over the same way (WicFiles.cpp).
std::unique_ptr<hostsim::World> WorldFromSamples(const NetpbmImage& image, hostsim::WorldFormat format);
// 8-bit worlds at maxval 255, 16-bit worlds at 65535, float worlds at `float_maxval` (255 or
// 65535), limited to 0..1 and rounded; 4 channels keep alpha, 3 drop it.
NetpbmImage SamplesFromWorld(const hostsim::World& world, int channels, int float_maxval);

bool ProbeNetpbm(const std::string& path, ImageProbe& probe, std::string& error);
std::unique_ptr<hostsim::World> ReadNetpbm(const std::string& path, hostsim::WorldFormat format, std::string& error);
// The extension of `format_name` (.pam or .ppm) chooses the kind, as for WriteImage.
bool WriteNetpbm(const hostsim::World& world, const std::string& path, const std::string& format_name,
                 std::string& error);

}  // namespace qxv::cli
