#include "cli/images/WicFiles.h"

#include <windows.h>
#include <wincodec.h>
#include <wrl/client.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <vector>

#include "cli/images/NetpbmFiles.h"

namespace qxv::cli {

using hostsim::World;
using hostsim::WorldFormat;
using Microsoft::WRL::ComPtr;

namespace {

// As for Netpbm files: large enough for 8K frames, small enough to allocate.
constexpr long long kMaxPixels = 1LL << 26;

// How the decoder's own pixel layouts map onto red, green, blue and alpha (-1: none).
// Premultiplied layouts are read as stored, as OpenImageIO reads them on Linux.
struct PixelLayout {
    const GUID* format;
    int channels;  // per pixel in the buffer
    int bits;      // 8 or 16 per channel
    int red, green, blue, alpha;
};

constexpr PixelLayout kLayouts[] = {
    {&GUID_WICPixelFormat8bppGray, 1, 8, 0, 0, 0, -1},
    {&GUID_WICPixelFormat16bppGray, 1, 16, 0, 0, 0, -1},
    {&GUID_WICPixelFormat24bppRGB, 3, 8, 0, 1, 2, -1},
    {&GUID_WICPixelFormat24bppBGR, 3, 8, 2, 1, 0, -1},
    {&GUID_WICPixelFormat32bppRGBA, 4, 8, 0, 1, 2, 3},
    {&GUID_WICPixelFormat32bppPRGBA, 4, 8, 0, 1, 2, 3},
    {&GUID_WICPixelFormat32bppBGRA, 4, 8, 2, 1, 0, 3},
    {&GUID_WICPixelFormat32bppPBGRA, 4, 8, 2, 1, 0, 3},
    {&GUID_WICPixelFormat48bppRGB, 3, 16, 0, 1, 2, -1},
    {&GUID_WICPixelFormat48bppBGR, 3, 16, 2, 1, 0, -1},
    {&GUID_WICPixelFormat64bppRGBA, 4, 16, 0, 1, 2, 3},
    {&GUID_WICPixelFormat64bppPRGBA, 4, 16, 0, 1, 2, 3},
    {&GUID_WICPixelFormat64bppBGRA, 4, 16, 2, 1, 0, 3},
    {&GUID_WICPixelFormat64bppPBGRA, 4, 16, 2, 1, 0, 3},
};

const PixelLayout* FindLayout(const WICPixelFormatGUID& format) {
    for (const PixelLayout& layout : kLayouts) {
        if (IsEqualGUID(*layout.format, format)) return &layout;
    }
    return nullptr;
}

// COM for the calling thread, for as long as one call needs it.
class ComApartment {
public:
    ComApartment() : result_(CoInitializeEx(nullptr, COINIT_MULTITHREADED)) {}
    ~ComApartment() {
        if (SUCCEEDED(result_)) CoUninitialize();
    }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

private:
    HRESULT result_;  // RPC_E_CHANGED_MODE: the thread already has COM, which serves as well
};

std::string Reason(HRESULT result) {
    if (result == WINCODEC_ERR_COMPONENTNOTFOUND) return "Windows has no codec for this file's type";
    char* text = nullptr;
    const DWORD length = FormatMessageA(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
        static_cast<DWORD>(result), 0, reinterpret_cast<char*>(&text), 0, nullptr);
    std::string reason = length ? std::string(text, length) : std::string();
    if (text) LocalFree(text);
    while (!reason.empty() && std::isspace(static_cast<unsigned char>(reason.back()))) reason.pop_back();
    char code[32];
    std::snprintf(code, sizeof code, "0x%08lx", static_cast<unsigned long>(result));
    return reason.empty() ? std::string("error ") + code : reason + " (" + code + ")";
}

std::wstring WidePath(const std::string& path) {
    const int length = MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, nullptr, 0);
    std::wstring wide(length > 0 ? static_cast<std::size_t>(length) : 1u, L'\0');
    if (length > 0) MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide.data(), length);
    wide.resize(wide.size() - 1);
    return wide;
}

ComPtr<IWICImagingFactory> Factory(HRESULT& result) {
    ComPtr<IWICImagingFactory> factory;
    result = CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&factory));
    return factory;
}

// The first frame of the file and its pixel layout: the decoder's own, or 8- or 16-bit RGBA
// converted by WIC for layouts outside the table (palettes, float, CMYK, ...).
struct OpenedFrame {
    ComPtr<IWICBitmapSource> source;
    PixelLayout layout{};
    UINT width = 0, height = 0;
};

// Within a COM apartment of the caller's.
bool OpenFrame(const std::string& path, OpenedFrame& opened, std::string& error) {
    HRESULT result = S_OK;
    ComPtr<IWICImagingFactory> factory = Factory(result);
    if (!factory) {
        error = "cannot read image " + path + ": the Windows Imaging Component is missing (" + Reason(result) + ")";
        return false;
    }
    ComPtr<IWICBitmapDecoder> decoder;
    ComPtr<IWICBitmapFrameDecode> frame;
    result = factory->CreateDecoderFromFilename(WidePath(path).c_str(), nullptr, GENERIC_READ,
                                                       WICDecodeMetadataCacheOnDemand, &decoder);
    if (SUCCEEDED(result)) result = decoder->GetFrame(0, &frame);
    WICPixelFormatGUID native{};
    if (SUCCEEDED(result)) result = frame->GetSize(&opened.width, &opened.height);
    if (SUCCEEDED(result)) result = frame->GetPixelFormat(&native);
    if (FAILED(result)) {
        error = "cannot read image " + path + ": " + Reason(result) + " (check the path and the file type)";
        return false;
    }
    if (opened.width < 1 || opened.height < 1 ||
        static_cast<long long>(opened.width) * opened.height > kMaxPixels) {
        error = "cannot use image " + path + ": size " + std::to_string(opened.width) + "x" +
                std::to_string(opened.height) + " is out of range";
        return false;
    }
    if (const PixelLayout* layout = FindLayout(native)) {
        opened.layout = *layout;
        opened.source = frame;
        return true;
    }
    // Deeper than 8 bits per channel keeps 16; everything else is read as 8-bit RGBA.
    ComPtr<IWICComponentInfo> info;
    ComPtr<IWICPixelFormatInfo> format_info;
    UINT bits_per_pixel = 0, channels = 0;
    if (SUCCEEDED(factory->CreateComponentInfo(native, &info)) && SUCCEEDED(info.As(&format_info))) {
        format_info->GetBitsPerPixel(&bits_per_pixel);
        format_info->GetChannelCount(&channels);
    }
    const bool deep = channels > 0 && bits_per_pixel / channels > 8;
    const WICPixelFormatGUID target = deep ? GUID_WICPixelFormat64bppRGBA : GUID_WICPixelFormat32bppRGBA;
    ComPtr<IWICFormatConverter> converter;
    result = factory->CreateFormatConverter(&converter);
    if (SUCCEEDED(result)) {
        result = converter->Initialize(frame.Get(), target, WICBitmapDitherTypeNone, nullptr, 0.0,
                                       WICBitmapPaletteTypeCustom);
    }
    if (FAILED(result)) {
        error = "cannot read image " + path + ": its pixel layout cannot be converted (" + Reason(result) + ")";
        return false;
    }
    opened.layout = *FindLayout(target);
    opened.source = converter;
    return true;
}

bool DecodeFrame(const std::string& path, NetpbmImage& image, std::string& error) {
    ComApartment apartment;
    OpenedFrame opened;
    if (!OpenFrame(path, opened, error)) return false;
    const PixelLayout& layout = opened.layout;
    const std::size_t sample_bytes = layout.bits / 8;
    const std::size_t stride = static_cast<std::size_t>(opened.width) * layout.channels * sample_bytes;
    std::vector<std::uint8_t> pixels(stride * opened.height);
    const HRESULT result =
        opened.source->CopyPixels(nullptr, static_cast<UINT>(stride), static_cast<UINT>(pixels.size()), pixels.data());
    if (FAILED(result)) {
        error = "cannot read image " + path + ": " + Reason(result) + " (is the file complete?)";
        return false;
    }
    image.width = static_cast<int>(opened.width);
    image.height = static_cast<int>(opened.height);
    image.maxval = layout.bits == 16 ? 65535 : 255;
    image.channels = layout.channels == 1 ? 1 : layout.alpha >= 0 ? 4 : 3;
    const int picks[4] = {layout.red, layout.green, layout.blue, layout.alpha};
    const std::size_t count = static_cast<std::size_t>(image.width) * image.height;
    image.samples.resize(count * image.channels);
    std::uint16_t* out = image.samples.data();
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t pixel = i * layout.channels;
        for (int c = 0; c < image.channels; ++c) {
            const std::size_t at = pixel + picks[c];
            if (layout.bits == 16) {
                std::uint16_t v;  // WIC keeps 16-bit samples in the machine's (little-endian) order
                std::memcpy(&v, pixels.data() + 2 * at, 2);
                *out++ = v;
            } else {
                *out++ = pixels[at];
            }
        }
    }
    return true;
}

// WIC takes 16-bit samples in the machine's order and each encoder stores them as its format
// does; wine's PNG encoder (8.0) stores them unswapped, so that every 16-bit PNG it writes
// has its bytes reversed. One pixel written to memory and read back tells which this is.
bool EncoderReversesSixteenBits(IWICImagingFactory& factory, const GUID& container) {
    const std::uint16_t pixel[4] = {0x0102, 0x0304, 0x0506, 0xffff};
    std::uint8_t file[4096];
    WICPixelFormatGUID format = GUID_WICPixelFormat64bppRGBA;
    ComPtr<IWICStream> stream, reread;
    ComPtr<IWICBitmapEncoder> encoder;
    ComPtr<IWICBitmapFrameEncode> frame;
    ComPtr<IWICBitmapDecoder> decoder;
    ComPtr<IWICBitmapFrameDecode> decoded;
    ULARGE_INTEGER size{};
    std::uint16_t back[4] = {};
    HRESULT result = factory.CreateStream(&stream);
    if (SUCCEEDED(result)) result = stream->InitializeFromMemory(file, sizeof file);
    if (SUCCEEDED(result)) result = factory.CreateEncoder(container, nullptr, &encoder);
    if (SUCCEEDED(result)) result = encoder->Initialize(stream.Get(), WICBitmapEncoderNoCache);
    if (SUCCEEDED(result)) result = encoder->CreateNewFrame(&frame, nullptr);
    if (SUCCEEDED(result)) result = frame->Initialize(nullptr);
    if (SUCCEEDED(result)) result = frame->SetSize(1, 1);
    if (SUCCEEDED(result)) result = frame->SetPixelFormat(&format);
    if (SUCCEEDED(result)) {
        result = frame->WritePixels(1, sizeof pixel, sizeof pixel,
                                    reinterpret_cast<BYTE*>(const_cast<std::uint16_t*>(pixel)));
    }
    if (SUCCEEDED(result)) result = frame->Commit();
    if (SUCCEEDED(result)) result = encoder->Commit();
    if (SUCCEEDED(result)) result = stream->Seek(LARGE_INTEGER{}, STREAM_SEEK_CUR, &size);
    if (SUCCEEDED(result)) result = factory.CreateStream(&reread);
    if (SUCCEEDED(result)) result = reread->InitializeFromMemory(file, static_cast<DWORD>(size.QuadPart));
    if (SUCCEEDED(result)) {
        result = factory.CreateDecoderFromStream(reread.Get(), nullptr, WICDecodeMetadataCacheOnDemand, &decoder);
    }
    if (SUCCEEDED(result)) result = decoder->GetFrame(0, &decoded);
    if (SUCCEEDED(result)) result = decoded->GetPixelFormat(&format);
    if (SUCCEEDED(result) && IsEqualGUID(format, GUID_WICPixelFormat64bppRGBA)) {
        result = decoded->CopyPixels(nullptr, sizeof back, sizeof back, reinterpret_cast<BYTE*>(back));
    }
    return SUCCEEDED(result) && back[0] == 0x0201 && back[1] == 0x0403 && back[2] == 0x0605;
}

}  // namespace

bool ProbeWithWic(const std::string& path, ImageProbe& probe, std::string& error) {
    ComApartment apartment;
    OpenedFrame opened;
    if (!OpenFrame(path, opened, error)) return false;
    probe.width = static_cast<int>(opened.width);
    probe.height = static_cast<int>(opened.height);
    probe.channels = opened.layout.channels;
    probe.bits = opened.layout.bits;
    probe.is_float = false;
    return true;
}

std::unique_ptr<World> ReadWithWic(const std::string& path, WorldFormat format, std::string& error) {
    NetpbmImage image;
    if (!DecodeFrame(path, image, error)) return nullptr;
    return WorldFromSamples(image, format);
}

bool WriteWithWic(const World& world, const std::string& path, const std::string& format_name,
                  std::string& error) {
    const std::string extension = LowerExtension(format_name);
    const GUID* container = extension == ".png"                          ? &GUID_ContainerFormatPng
                            : extension == ".tif" || extension == ".tiff" ? &GUID_ContainerFormatTiff
                                                                          : nullptr;
    if (!container) {
        error = "cannot write " + format_name + ": this qxv writes .png, .tif, .tiff, .pam and .ppm";
        return false;
    }
    // Float worlds as OpenImageIO writes them on Linux where it can: 8-bit PNG; TIFF, which it
    // writes as float, at 16 bits.
    const NetpbmImage image = SamplesFromWorld(world, 4, extension == ".png" ? 255 : 65535);
    const bool deep = image.maxval > 255;

    ComApartment apartment;
    HRESULT result = S_OK;
    ComPtr<IWICImagingFactory> factory = Factory(result);
    if (!factory) {
        error = "cannot write " + format_name + ": the Windows Imaging Component is missing (" + Reason(result) + ")";
        return false;
    }
    const bool reverse = deep && EncoderReversesSixteenBits(*factory.Get(), *container);
    // 8-bit as BGRA and 16-bit as RGBA: the layouts every PNG and TIFF encoder of WIC takes.
    const std::size_t sample_bytes = deep ? 2 : 1;
    const std::size_t stride = static_cast<std::size_t>(image.width) * 4 * sample_bytes;
    std::vector<std::uint8_t> pixels(stride * image.height);
    for (std::size_t i = 0; i < image.samples.size(); ++i) {
        if (deep) {
            const std::uint16_t v = image.samples[i];
            const std::uint16_t stored = reverse ? static_cast<std::uint16_t>(v << 8 | v >> 8) : v;
            std::memcpy(pixels.data() + 2 * i, &stored, 2);
        } else {
            const std::size_t channel = i % 4;
            pixels[i - channel + (channel < 3 ? 2 - channel : 3)] = static_cast<std::uint8_t>(image.samples[i]);
        }
    }
    WICPixelFormatGUID wanted = deep ? GUID_WICPixelFormat64bppRGBA : GUID_WICPixelFormat32bppBGRA;

    ComPtr<IWICStream> stream;
    ComPtr<IWICBitmapEncoder> encoder;
    ComPtr<IWICBitmapFrameEncode> frame;
    ComPtr<IPropertyBag2> options;
    WICPixelFormatGUID given = wanted;
    result = factory->CreateStream(&stream);
    if (SUCCEEDED(result)) result = stream->InitializeFromFilename(WidePath(path).c_str(), GENERIC_WRITE);
    if (SUCCEEDED(result)) result = factory->CreateEncoder(*container, nullptr, &encoder);
    if (SUCCEEDED(result)) result = encoder->Initialize(stream.Get(), WICBitmapEncoderNoCache);
    if (SUCCEEDED(result)) result = encoder->CreateNewFrame(&frame, &options);
    if (SUCCEEDED(result)) result = frame->Initialize(options.Get());
    if (SUCCEEDED(result)) result = frame->SetSize(static_cast<UINT>(image.width), static_cast<UINT>(image.height));
    if (SUCCEEDED(result)) result = frame->SetPixelFormat(&given);
    if (SUCCEEDED(result) && !IsEqualGUID(given, wanted)) {
        error = "cannot write " + format_name + ": this Windows cannot write " + (deep ? "16" : "8") +
                "-bit RGBA in that format";
        return false;
    }
    if (SUCCEEDED(result)) {
        result = frame->WritePixels(static_cast<UINT>(image.height), static_cast<UINT>(stride),
                                    static_cast<UINT>(pixels.size()), pixels.data());
    }
    if (SUCCEEDED(result)) result = frame->Commit();
    if (SUCCEEDED(result)) result = encoder->Commit();
    if (FAILED(result)) {
        error = "cannot write " + format_name + ": " + Reason(result) + " (choose a writable directory)";
        return false;
    }
    return true;
}

}  // namespace qxv::cli
