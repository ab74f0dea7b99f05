// Image files other than Netpbm in the Windows qxv, through the Windows Imaging Component:
// the codec library every Windows ships (and wine implements), so qxv.exe carries no image
// library of its own. PNG (8 and 16 bit, with or without alpha) and TIFF are read and
// written; anything else Windows decodes (BMP, JPEG, ...) is read. Samples are taken as
// stored, premultiplied or not, and go into worlds exactly as Netpbm samples do
// (NetpbmFiles.h), so that frames equal the Linux qxv's, which reads them through OpenImageIO.
// Written as RGBA: 8-bit worlds at 8 bits, 16-bit worlds at 16; float worlds (Premiere Pro)
// as 8-bit PNG, as on Linux, and as 16-bit TIFF where Linux writes float TIFF.
#pragma once

#include <memory>
#include <string>

#include "cli/images/ImageFiles.h"

namespace qxv::cli {

bool ProbeWithWic(const std::string& path, ImageProbe& probe, std::string& error);
std::unique_ptr<hostsim::World> ReadWithWic(const std::string& path, hostsim::WorldFormat format, std::string& error);
// .png, .tif or .tiff, chosen by `format_name`'s extension.
bool WriteWithWic(const hostsim::World& world, const std::string& path, const std::string& format_name,
                  std::string& error);

}  // namespace qxv::cli
