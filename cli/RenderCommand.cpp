// qxv render: renders the effect onto image files, image sequences or raw video streams
// through the simulated host, with the parameter values given by name.
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <future>
#include <iostream>
#include <memory>

#include "Commands.h"
#include "FrameSequence.h"
#include "hostsim/Host.h"
#include "ImageFiles.h"
#include "hostsim/IterateSuites.h"
#include "PendingFile.h"
#include "hostsim/PointDefaults.h"
#include "ProgressBar.h"
#include "RawStream.h"
#include "RenderCommands.h"
#include "hostsim/RenderFrame.h"
#include "RenderSettingsParse.h"
#include "Report.h"
#include "Session.h"

namespace qxv::cli {

namespace {

using hostsim::HostApp;
using hostsim::RenderSettings;
using hostsim::World;
using hostsim::WorldFormat;

const char kCommand[] = "render";
const char kSynopsis[] = "qxv render [options] INPUT OUTPUT";
const char kDescription[] =
    "Renders the vignette onto INPUT and writes OUTPUT, through a simulated After Effects or\n"
    "Premiere Pro host that loads the plug-in and sends it PF_Cmd_RENDER.\n"
    "\n"
    "Images: any file OpenImageIO reads or writes, chosen by extension (.png 8/16-bit, .tif,\n"
    ".exr, .jpg, ...). Alpha is kept; an image without alpha gets opaque alpha. A frame-number\n"
    "pattern renders a sequence: qxv render in.%04d.png out.%04d.png.\n"
    "Bit depth: 8-bit files render at 8 bits, deeper files at 16 bits in After Effects and as\n"
    "float in Premiere Pro, unless --depth says otherwise. 16-bit files hold 0..65535 but the\n"
    "host's 16-bit frames run 0..32768: values become round(v * 32768 / 65535) on the way in and\n"
    "round(v * 65535 / 32768) on the way out.\n"
    "\n"
    "Raw streams: with --raw WIDTHxHEIGHT --format F, INPUT and OUTPUT (\"-\" for standard input\n"
    "and output) hold headerless frames one after another in the host's memory order until the\n"
    "end of the input. argb formats render as After Effects, bgra formats as Premiere Pro;\n"
    "argb16 is little-endian with full scale 32768, bgra32f little-endian floats.\n"
    "  ffmpeg -i in.mp4 -f rawvideo -pix_fmt bgra - | qxv render --raw 1920x1080 --format bgra8 - - |\n"
    "    ffmpeg -f rawvideo -pix_fmt bgra -s 1920x1080 -i - out.mp4\n"
    "\n"
    "Parameters by the names the effect controls show, in the units they were registered with\n"
    "(a slider's percent, pixels or bare number; degrees; \"x,y\"): --set \"Width=400\"\n"
    "--set \"Point of origin=960,540\" --set \"Blending mode=Soft light\" --set \"Color=#3366ff\"\n"
    "--set \"Mask Only=on\". Popups take a label or a 1-based number.\n"
    "Point of origin starts at the centre of the frame, as a host places a point's default\n"
    "(50 %, 50 %) in percent of the layer.\n"
    "\n"
    "On any error qxv prints one line, exits non-zero and leaves no partial output file.";

bool IsStream(const std::string& path) { return path == "-"; }

// The world layout for a host and a bit depth ("8", "16", "float").
bool FormatFor(HostApp app, const std::string& depth, WorldFormat& format, std::string& error) {
    const bool premiere = app == HostApp::kPremierePro;
    if (depth == "8") {
        format = premiere ? WorldFormat::kBgra8 : WorldFormat::kArgb8;
        return true;
    }
    if (depth == "16" && !premiere) {
        format = WorldFormat::kArgb16;
        return true;
    }
    if (depth == "float" && premiere) {
        format = WorldFormat::kBgraFloat;
        return true;
    }
    if (depth == "16" || depth == "float") {
        error = premiere ? "Premiere Pro renders 8-bit or float frames: use --depth 8|float, or --host ae for 16-bit"
                         : "After Effects renders 8- or 16-bit frames: use --depth 8|16, or --host premiere for float";
    } else {
        error = "--depth must be 8, 16 or float, not \"" + depth + "\"";
    }
    return false;
}

std::string DepthOf(WorldFormat format) {
    switch (format) {
        case WorldFormat::kArgb16: return "16";
        case WorldFormat::kBgraFloat: return "float";
        case WorldFormat::kArgb8:
        case WorldFormat::kBgra8: break;
    }
    return "8";
}

struct RenderJob {
    Session session;
    RenderSettings settings;
    WorldFormat format = WorldFormat::kArgb8;
    int frames_rendered = 0;
};

// Renders one frame; on failure `error` holds the plug-in's error and message.
bool RenderOne(RenderJob& job, World& input, World& output, std::string& error) {
    hostsim::Host& host = *job.session.host;
    const PF_Err err = hostsim::RenderFrame(host, input, output, job.settings);
    for (const std::string& violation : host.CommandViolations()) {
        std::cerr << "qxv render: warning: the host noticed: " << violation << "\n";
    }
    if (err) {
        error = "the plug-in answered PF_Cmd_RENDER with " + ErrorText(err);
        const std::string message = DisplayedMessage(host.out_data());
        if (!message.empty()) error += ": \"" + message + "\"";
        return false;
    }
    ++job.frames_rendered;
    return true;
}

// Frames of a raw stream, one after another. Reading the next frame and writing the last one
// overlap the render of the current one, so a pipe is read and written while the host's
// threads shade; the frames still come out in order, each rendered from its own input.
bool RenderRawStream(RenderJob& job, int in_fd, int out_fd, A_long width, A_long height, std::string& error) {
    World inputs[2] = {World(job.format, width, height), World(job.format, width, height)};
    World outputs[2] = {World(job.format, width, height), World(job.format, width, height)};
    std::string read_error, write_error;
    RawRead read = ReadRawFrame(in_fd, inputs[0], read_error);
    std::future<bool> writing;
    bool ok = true;
    for (int current = 0; read == RawRead::kFrame; current ^= 1) {
        World& input = inputs[current];
        World& output = outputs[current];
        std::future<RawRead> reading = std::async(std::launch::async, [&, next = current ^ 1] {
            return ReadRawFrame(in_fd, inputs[next], read_error);
        });
        ok = RenderOne(job, input, output, error);
        if (!ok) error = "frame " + std::to_string(job.frames_rendered + 1) + ": " + error;
        if (writing.valid() && !writing.get()) ok = false;
        if (ok) writing = std::async(std::launch::async, [&] { return WriteRawFrame(out_fd, output, write_error); });
        read = reading.get();
        if (!ok) break;
    }
    if (writing.valid() && !writing.get()) ok = false;
    if (!ok) {
        if (error.empty()) error = write_error;
        return false;
    }
    if (read != RawRead::kEnd) {
        error = read_error;
        return false;
    }
    return true;
}

// Loads the plug-in for `app` with the user's --set values and settings, for frames of
// width x height.
bool OpenRenderSession(const ParsedArgs& args, HostApp app, A_long width, A_long height, RenderJob& job,
                       std::string& error) {
    ParsedArgs with_host = args;
    if (!args.Has("host")) with_host.Add("host", app == HostApp::kPremierePro ? "premiere" : "ae");
    unsigned threads = 0;
    if (!ParseRenderSettings(args, job.settings, threads, error)) return false;
    if (!OpenSession(with_host, job.session, error)) return false;
    hostsim::PlacePointDefaults(job.session.host->params(), width, height);
    hostsim::SetIterationThreads(*job.session.host, threads);
    return true;
}

int RenderRaw(const ParsedArgs& args, const std::string& input_path, const std::string& output_path) {
    if (!args.Has("raw") || !args.Has("format")) {
        return Fail(kCommand, "raw streams need both --raw WIDTHxHEIGHT and --format argb8|argb16|bgra8|bgra32f",
                    kExitUsage);
    }
    std::string error;
    A_long width = 0, height = 0;
    if (!ParseFrameSize(args.Get("raw"), width, height, error)) return Fail(kCommand, error, kExitUsage);
    WorldFormat format;
    if (!hostsim::ParseWorldFormat(args.Get("format"), format)) {
        return Fail(kCommand, "--format must be argb8, argb16, bgra8 or bgra32f, not \"" + args.Get("format") + "\"",
                    kExitUsage);
    }
    const HostApp app = hostsim::IsPremiereFormat(format) ? HostApp::kPremierePro : HostApp::kAfterEffects;
    if (args.Has("host")) {
        HostApp asked;
        if (!ParseHostApp(args.Get("host"), asked, error)) return Fail(kCommand, error, kExitUsage);
        if (asked != app) {
            return Fail(kCommand,
                        std::string("--format ") + hostsim::WorldFormatName(format) + " is rendered by " +
                            hostsim::HostAppName(app) + ": drop --host or choose a " +
                            (app == HostApp::kPremierePro ? "argb" : "bgra") + " format",
                        kExitUsage);
        }
    }
    if (args.Has("depth") && args.Get("depth") != DepthOf(format)) {
        return Fail(kCommand,
                    std::string("--depth ") + args.Get("depth") + " contradicts --format " +
                        hostsim::WorldFormatName(format) + ": drop --depth",
                    kExitUsage);
    }

    RenderJob job;
    job.format = format;
    if (!OpenRenderSession(args, app, width, height, job, error)) return Fail(kCommand, error, kExitUsage);

    int in_fd = STDIN_FILENO;
    if (!IsStream(input_path)) {
        in_fd = open(input_path.c_str(), O_RDONLY | kOpenBinary);
        if (in_fd < 0) {
            return Fail(kCommand, "cannot read " + input_path + ": " + std::strerror(errno) + " (check the path)",
                        kExitFailure);
        }
    }
    std::unique_ptr<PendingFile> pending;
    int out_fd = STDOUT_FILENO;
    if (!IsStream(output_path)) {
        pending = std::make_unique<PendingFile>(output_path);
        out_fd = open(pending->temp_path().c_str(), O_WRONLY | O_CREAT | O_TRUNC | kOpenBinary, 0666);
        if (out_fd < 0) {
            return Fail(kCommand,
                        "cannot write " + output_path + ": " + std::strerror(errno) + " (choose a writable directory)",
                        kExitFailure);
        }
    }
    UseBinaryMode(in_fd);
    UseBinaryMode(out_fd);
    bool ok = RenderRawStream(job, in_fd, out_fd, width, height, error);
    if (in_fd != STDIN_FILENO) close(in_fd);
    if (out_fd != STDOUT_FILENO && close(out_fd) != 0 && ok) {
        error = "cannot write " + output_path + ": " + std::strerror(errno);
        ok = false;
    }
    if (args.Has("trace")) PrintTrace(std::cerr, *job.session.host);
    if (ok && pending && !pending->Commit(error)) ok = false;
    if (!ok) return Fail(kCommand, error, kExitFailure);
    if (job.frames_rendered == 0) std::cerr << "qxv render: warning: the input held no frame\n";
    return kExitOk;
}

// Renders one image file into another.
bool RenderImageFile(RenderJob& job, const std::string& input_path, const std::string& output_path,
                     std::string& error) {
    std::unique_ptr<World> input = ReadImage(input_path, job.format, error);
    if (!input) return false;
    World output(job.format, input->width(), input->height());
    if (!RenderOne(job, *input, output, error)) {
        error = input_path + ": " + error;
        return false;
    }
    PendingFile pending(output_path);
    return WriteImage(output, pending.temp_path(), output_path, error) && pending.Commit(error);
}

int RenderImages(const ParsedArgs& args, const std::string& input_path, const std::string& output_path) {
    std::string error;
    FramePattern in_pattern, out_pattern;
    const bool sequence = ParseFramePattern(input_path, in_pattern);
    if (sequence != ParseFramePattern(output_path, out_pattern)) {
        return Fail(kCommand,
                    "INPUT and OUTPUT must both name a frame-number pattern (such as in.%04d.png) or neither",
                    kExitUsage);
    }
    std::vector<int> numbers;
    std::string first_path = input_path;
    if (sequence) {
        numbers = FindFrames(in_pattern);
        if (numbers.empty()) {
            return Fail(kCommand, "no file matches " + input_path + " (check the directory and the pattern)",
                        kExitFailure);
        }
        first_path = FramePath(in_pattern, numbers.front());
    }
    ImageProbe probe;
    if (!ProbeImage(first_path, probe, error)) return Fail(kCommand, error, kExitFailure);

    HostApp app = HostApp::kAfterEffects;
    if (args.Has("host") && !ParseHostApp(args.Get("host"), app, error)) return Fail(kCommand, error, kExitUsage);
    const std::string depth =
        args.Get("depth", probe.bits == 8 ? "8" : app == HostApp::kPremierePro ? "float" : "16");
    RenderJob job;
    if (!FormatFor(app, depth, job.format, error)) return Fail(kCommand, error, kExitUsage);
    if (!CanCreateFileBeside(sequence ? FramePath(out_pattern, numbers.front()) : output_path, error)) {
        return Fail(kCommand, error, kExitFailure);
    }
    if (!OpenRenderSession(args, app, probe.width, probe.height, job, error)) {
        return Fail(kCommand, error, kExitUsage);
    }

    bool ok = true;
    if (!sequence) {
        ok = RenderImageFile(job, input_path, output_path, error);
    } else {
        ProgressBar progress(static_cast<int>(numbers.size()));
        progress.Show(0);
        for (std::size_t i = 0; i < numbers.size() && ok; ++i) {
            ok = RenderImageFile(job, FramePath(in_pattern, numbers[i]), FramePath(out_pattern, numbers[i]), error);
            if (ok) progress.Show(static_cast<int>(i + 1));
        }
    }
    if (args.Has("trace")) PrintTrace(std::cerr, *job.session.host);
    return ok ? kExitOk : Fail(kCommand, error, kExitFailure);
}

}  // namespace

int RunRender(const std::vector<std::string>& args) {
    CommandLine command_line(kCommand, kSynopsis, kDescription);
    command_line.Option("host", "ae|premiere", "host to simulate (default: ae; raw streams: implied by --format)")
        .Option("depth", "8|16|float", "bit depth of the frames handed over (ae: 8 or 16; premiere: 8 or float)")
        .Option("raw", "WIDTHxHEIGHT", "INPUT and OUTPUT are raw streams of frames of this size")
        .Option("format", "argb8|argb16|bgra8|bgra32f", "pixel layout of the raw streams")
        .Option("downsample", "N/D[,N/D]", "host downsampling, x then y (one value sets both; default 1/1)")
        .Option("pixel-aspect", "N/D", "pixel aspect ratio (default 1/1)")
        .Option("quality", "high|low", "render quality (default high)")
        .Option("threads", "N", "threads of the host's iterations (default: all cores)")
        .Option("plugin", "PATH", "plug-in library (default: QX_Vignette.so beside qxv)")
        .Flag("trace", "print every host call the plug-in made on stderr")
        .ParamOptions()
        .FailureOptions();
    ParsedArgs parsed;
    if (const auto done = command_line.Parse(args, parsed)) return *done;
    if (parsed.positional().size() != 2) {
        return Fail(kCommand, "needs INPUT and OUTPUT (see qxv render --help)", kExitUsage);
    }
    const std::string& input = parsed.positional()[0];
    const std::string& output = parsed.positional()[1];
    if (parsed.Has("raw") || parsed.Has("format") || IsStream(input) || IsStream(output)) {
        if (!parsed.Has("raw") || !parsed.Has("format")) {
            return Fail(kCommand, "streams (\"-\") are raw: add --raw WIDTHxHEIGHT and --format argb8|argb16|bgra8|bgra32f",
                        kExitUsage);
        }
        return RenderRaw(parsed, input, output);
    }
    return RenderImages(parsed, input, output);
}

}  // namespace qxv::cli
