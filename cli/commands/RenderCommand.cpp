// qxv render: renders the effect onto image files, image sequences or raw video streams
// through the simulated host, with the parameter values given by name.
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <future>
#include <iostream>
#include <memory>
#include <optional>

#include "cli/Commands.h"
#include "cli/images/FrameStreams.h"
#include "hostsim/instruments/Host.h"
#include "cli/images/ImageFiles.h"
#include "cli/PendingFile.h"
#include "hostsim/Params.h"
#include "cli/OptionValues.h"
#include "cli/HostReport.h"
#include "cli/Session.h"

namespace qxv::cli {

namespace {

using hostsim::HostApp;
using hostsim::FrameDepth;
using hostsim::RenderSettings;
using hostsim::World;
using hostsim::WorldFormat;

const char kCommand[] = "render";
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

// What the command line asks for, read once.
struct RenderOptions {
    std::string input, output;
    SessionOptions session;  // its host: --host, else After Effects; a raw format's host for streams
    bool host_given = false;
    std::optional<FrameDepth> depth;
    std::optional<PF_Point> raw_size;  // raw streams: the frame size and the layout
    std::optional<WorldFormat> raw_format;
    RenderSettings settings;
    bool trace = false;
};

// The world layout for the host and the depth asked for.
bool ImageFormat(HostApp app, FrameDepth depth, WorldFormat& format, std::string& error) {
    if (const std::optional<WorldFormat> host_format = hostsim::HostFormat(app, depth)) {
        format = *host_format;
        return true;
    }
    error = app == HostApp::kPremierePro
                ? "Premiere Pro renders 8-bit or float frames: use --depth 8|float, or --host ae for 16-bit"
                : "After Effects renders 8- or 16-bit frames: use --depth 8|16, or --host premiere for float";
    return false;
}

FrameDepth DepthOf(WorldFormat format) {
    switch (format) {
        case WorldFormat::kArgb16: return FrameDepth::k16;
        case WorldFormat::kBgraFloat: return FrameDepth::kFloat;
        case WorldFormat::kArgb8:
        case WorldFormat::kBgra8: break;
    }
    return FrameDepth::k8;
}

struct RenderJob {
    Session session;
    RenderSettings settings;
    WorldFormat format = WorldFormat::kArgb8;
    int frames_rendered = 0;
};

// Renders one frame; on failure `error` holds the plug-in's error and message.
bool RenderOne(RenderJob& job, World& input, World& output, std::string& error) {
    hostsim::Session& host = *job.session.host;
    const PF_Err err = hostsim::RenderFrame(host, input, output, job.settings);
    if (const hostsim::Host* instruments = job.session.instruments) {
        for (const std::string& violation : instruments->CommandViolations()) {
            std::cerr << "qxv render: warning: the host noticed: " << violation << "\n";
        }
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

// Loads the plug-in with the user's --set values for frames of width x height.
bool OpenRenderSession(const RenderOptions& options, A_long width, A_long height, RenderJob& job,
                       std::string& error) {
    job.settings = options.settings;
    if (!OpenSession(options.session, job.session, error)) return false;
    hostsim::PlacePointDefaults(job.session.host->params(), width, height);
    return true;
}

// A raw format is rendered by its own host at its own depth: --host and --depth may only agree.
bool PickRawHost(RenderOptions& options, std::string& error) {
    const WorldFormat format = *options.raw_format;
    const HostApp app = hostsim::HostOfFormat(format);
    if (options.host_given && options.session.host != app) {
        error = std::string("--format ") + hostsim::WorldFormatName(format) + " is rendered by " +
                hostsim::HostAppName(app) + ": drop --host or choose a " +
                (app == HostApp::kPremierePro ? "argb" : "bgra") + " format";
        return false;
    }
    if (options.depth && *options.depth != DepthOf(format)) {
        error = std::string("--depth ") + FrameDepthName(*options.depth) + " contradicts --format " +
                hostsim::WorldFormatName(format) + ": drop --depth";
        return false;
    }
    options.session.host = app;
    return true;
}

// The streams of a raw render: standard input and output for "-", else the input file and a
// temporary file beside the output that becomes it once every frame is written.
struct RawFiles {
    int in_fd = STDIN_FILENO;
    int out_fd = STDOUT_FILENO;
    std::unique_ptr<PendingFile> pending;
};

bool OpenRawFiles(const RenderOptions& options, RawFiles& files, std::string& error) {
    if (!IsStream(options.input)) {
        files.in_fd = open(options.input.c_str(), O_RDONLY | kOpenBinary);
        if (files.in_fd < 0) {
            error = "cannot read " + options.input + ": " + std::strerror(errno) + " (check the path)";
            return false;
        }
    }
    if (!IsStream(options.output)) {
        files.pending = std::make_unique<PendingFile>(options.output);
        files.out_fd = open(files.pending->temp_path().c_str(), O_WRONLY | O_CREAT | O_TRUNC | kOpenBinary, 0666);
        if (files.out_fd < 0) {
            error = "cannot write " + options.output + ": " + std::strerror(errno) + " (choose a writable directory)";
            return false;
        }
    }
    UseBinaryMode(files.in_fd);
    UseBinaryMode(files.out_fd);
    return true;
}

// Closes both streams; the output becomes the file asked for only when `ok`.
bool CloseRawFiles(const std::string& output, RawFiles& files, bool ok, std::string& error) {
    if (files.in_fd != STDIN_FILENO) close(files.in_fd);
    if (files.out_fd != STDOUT_FILENO && close(files.out_fd) != 0 && ok) {
        error = "cannot write " + output + ": " + std::strerror(errno);
        return false;
    }
    return ok && (!files.pending || files.pending->Commit(error));
}

int RenderRaw(RenderOptions& options) {
    std::string error;
    if (!PickRawHost(options, error)) return Fail(kCommand, error, kExitUsage);
    RenderJob job;
    job.format = *options.raw_format;
    const PF_Point size = *options.raw_size;
    if (!OpenRenderSession(options, size.h, size.v, job, error)) return Fail(kCommand, error, kExitUsage);
    RawFiles files;
    if (!OpenRawFiles(options, files, error)) return Fail(kCommand, error, kExitFailure);
    bool ok = RenderRawStream(job, files.in_fd, files.out_fd, size.h, size.v, error);
    if (options.trace) PrintTrace(std::cerr, *job.session.instruments);
    ok = CloseRawFiles(options.output, files, ok, error);
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

// The images a render reads and writes: one file, or every frame of a numbered sequence.
struct ImageFrames {
    bool sequence = false;
    FramePattern in_pattern, out_pattern;
    std::vector<int> numbers;  // of the sequence's frames found
};

// Exits with the command's code on failure.
std::optional<int> FindImageFrames(const RenderOptions& options, ImageFrames& frames) {
    frames.sequence = ParseFramePattern(options.input, frames.in_pattern);
    if (frames.sequence != ParseFramePattern(options.output, frames.out_pattern)) {
        return Fail(kCommand,
                    "INPUT and OUTPUT must both name a frame-number pattern (such as in.%04d.png) or neither",
                    kExitUsage);
    }
    if (!frames.sequence) return std::nullopt;
    frames.numbers = FindFrames(frames.in_pattern);
    if (frames.numbers.empty()) {
        return Fail(kCommand, "no file matches " + options.input + " (check the directory and the pattern)",
                    kExitFailure);
    }
    return std::nullopt;
}

bool RenderImageFrames(RenderJob& job, const RenderOptions& options, const ImageFrames& frames, std::string& error) {
    if (!frames.sequence) return RenderImageFile(job, options.input, options.output, error);
    ProgressBar progress(static_cast<int>(frames.numbers.size()));
    progress.Show(0);
    for (std::size_t i = 0; i < frames.numbers.size(); ++i) {
        const int number = frames.numbers[i];
        if (!RenderImageFile(job, FramePath(frames.in_pattern, number), FramePath(frames.out_pattern, number), error)) {
            return false;
        }
        progress.Show(static_cast<int>(i + 1));
    }
    return true;
}

int RenderImages(const RenderOptions& options) {
    ImageFrames frames;
    if (const auto done = FindImageFrames(options, frames)) return *done;
    const std::string first_input = frames.sequence ? FramePath(frames.in_pattern, frames.numbers.front()) : options.input;
    const std::string first_output =
        frames.sequence ? FramePath(frames.out_pattern, frames.numbers.front()) : options.output;
    std::string error;
    ImageProbe probe;
    if (!ProbeImage(first_input, probe, error)) return Fail(kCommand, error, kExitFailure);

    const HostApp app = options.session.host;
    const FrameDepth depth = options.depth.value_or(probe.bits == 8                  ? FrameDepth::k8
                                                    : app == HostApp::kPremierePro ? FrameDepth::kFloat
                                                                                   : FrameDepth::k16);
    RenderJob job;
    if (!ImageFormat(app, depth, job.format, error)) return Fail(kCommand, error, kExitUsage);
    if (!CanCreateFileBeside(first_output, error)) return Fail(kCommand, error, kExitFailure);
    if (!OpenRenderSession(options, probe.width, probe.height, job, error)) return Fail(kCommand, error, kExitUsage);
    const bool ok = RenderImageFrames(job, options, frames, error);
    if (options.trace) PrintTrace(std::cerr, *job.session.instruments);
    return ok ? kExitOk : Fail(kCommand, error, kExitFailure);
}

}  // namespace

int RunRender(const std::vector<std::string>& args) {
    RenderOptions options;
    CommandLine command_line(kCommand, "INPUT OUTPUT", kDescription);
    command_line
        .Option("host", "ae|premiere", "host to simulate (default: ae; raw streams: implied by --format)",
                options.session.host,
                Converter<HostApp>([&options](const std::string& text, HostApp& app, std::string& error) {
                    options.host_given = true;
                    return ParseHostApp(text, app, error);
                }))
        .Option("depth", "8|16|float", "bit depth of the frames handed over (ae: 8 or 16; premiere: 8 or float)",
                options.depth, Converter<FrameDepth>(ParseFrameDepth))
        .Option("raw", "WIDTHxHEIGHT", "INPUT and OUTPUT are raw streams of frames of this size", options.raw_size,
                Worded(ParseFrameSize, [](const std::string& text) {
                    return "--raw needs WIDTHxHEIGHT such as 1920x1080, not \"" + text + "\"";
                }))
        .Option("format", "argb8|argb16|bgra8|bgra32f", "pixel layout of the raw streams", options.raw_format,
                Worded(hostsim::ParseWorldFormat, [](const std::string& text) {
                    return "--format must be argb8, argb16, bgra8 or bgra32f, not \"" + text + "\"";
                }))
        .Option("downsample", "N/D[,N/D]", "host downsampling, x then y (one value sets both; default 1/1)",
                options.settings, Converter<RenderSettings>(ParseDownsample))
        .Option("pixel-aspect", "N/D", "pixel aspect ratio (default 1/1)", options.settings.pixel_aspect_ratio,
                Converter<PF_RationalScale>(ParsePixelAspect))
        .Option("quality", "high|low", "render quality (default high)", options.settings.quality,
                Converter<PF_Quality>(ParseQuality))
        .Option("threads", "N", "threads of the host's iterations (default: all cores)", options.session.threads,
                Worded(ParseThreadCount, [](const std::string& text) {
                    return "--threads needs a number from 1 to 256, not \"" + text + "\"";
                }))
        .Option("plugin", "PATH", "plug-in library (default: QX_Vignette.so beside qxv)", options.session.plugin_path)
        .Flag("trace", "print every host call the plug-in made on stderr", options.trace)
        .ParamOptions(options.session)
        .FailureOptions(options.session);
    if (const auto done = command_line.Parse(args)) return *done;
    const std::vector<std::string>& arguments = command_line.arguments();
    if (arguments.size() != 2) return Fail(kCommand, "needs INPUT and OUTPUT (see qxv render --help)", kExitUsage);
    const bool raw = options.raw_size || options.raw_format || IsStream(arguments[0]) || IsStream(arguments[1]);
    if (raw && (!options.raw_size || !options.raw_format)) {
        return Fail(kCommand, "streams (\"-\") are raw: add --raw WIDTHxHEIGHT and --format argb8|argb16|bgra8|bgra32f",
                    kExitUsage);
    }
    options.input = arguments[0];
    options.output = arguments[1];
    options.session.instrumented = options.trace;
    return raw ? RenderRaw(options) : RenderImages(options);
}

}  // namespace qxv::cli
