// How qxv shows what the host saw: flag words by name, the packed version word, the trace of
// host calls and the host's findings, as text and as JSON.
#pragma once

#include <cstdint>
#include <ostream>
#include <string>

#include "hostsim/instruments/Host.h"
#include "hostsim/instruments/Json.h"

namespace qxv::cli {

std::string Hex32(std::uint32_t value);  // "0x06008400"

// "PF_OutFlag_PIX_INDEPENDENT | PF_OutFlag_CUSTOM_UI | ..." ("none" for 0).
std::string OutFlagNames(std::uint32_t flags);

struct VersionParts {
    int major, minor, bugfix, stage, build;
};
VersionParts DecodeVersion(std::uint32_t version);
std::string VersionText(std::uint32_t version);  // "1.3.0 develop build 1"
hostsim::Json VersionJson(std::uint32_t version);

void PrintTrace(std::ostream& out, hostsim::Host& host);
hostsim::Json TraceJson(hostsim::Host& host);

void PrintViolations(std::ostream& out, const hostsim::Host& host);
hostsim::Json ViolationsJson(const hostsim::Host& host);

}  // namespace qxv::cli
