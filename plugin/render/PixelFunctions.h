// The pixel functions Render hands to the host, specialised per pixel layout, shape and
// per-channel blend mode: shape and mode are decided once per frame instead of per pixel,
// bytes become floats through a table, and on 8-bit frames pixels outside the shape (and in
// its core, in the modes not shaded from the amount) are answered from the job's byte
// tables. They give the same bits as the plain formulas (convert, mask, ShadeWithMask,
// convert back), which the tests keep as their reference.
#pragma once

#include <atomic>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "AE_Effect.h"
#include "AE_EffectSuites.h"
#include "render/Blending.h"
#include "render/RenderSetup.h"
#include "render/fastpath/FastMasks.h"
#include "render/fastpath/MaskStore.h"

namespace qxv {

enum FlatMask { kFlatMaskZero = 0, kFlatMaskOne = 1, kFlatMaskCount, kNotFlatMask = -1 };

// The run of pixels a thread last computed (see fastpath/FastMasks.h): the host hands a
// thread one pixel after another along a row, so the first pixel of a run computes the
// values of the next ones with it (or takes the masks kept from an earlier frame,
// fastpath/MaskStore.h) and they find theirs here. `values` holds the masks, or
// for the modes shaded from the amount the amounts of fill they give (FillAmount times the
// opacity). In those modes, where the job may read the run's 8-bit input pixels
// (SourceRows), the run is shaded ahead (fastpath/ShadedRuns.h): `shaded` is the count as
// well and `outputs` holds the result for each pixel whose input is `inputs`, so a pixel
// whose input still reads so is done. Each value is the same bits as computed alone, so any
// other order of pixels, threads or frames just computes more runs. Each run has cache
// lines of its own, so that threads writing theirs do not slow each other down.
struct alignas(64) MaskRun {
    // Whose run it is: the stack of the thread (StackOfThisCall in PixelFunctions.cpp), or 0.
    std::atomic<std::uintptr_t> stack;
    A_long y;
    A_long first;
    A_u_long count;
    A_u_long shaded;  // count, or 0 where the pixels were not read ahead
    alignas(16) float values[kMaskRunLength];
    alignas(16) std::uint32_t inputs[kMaskRunLength];
    alignas(16) std::uint32_t outputs[kMaskRunLength];
    // The thread's masks of row row_y by column, for columns row_first..row_end - 1 (the
    // runs it computed one after another along the row), for the runs of their mirror
    // columns (ShadingJob::mirror_columns); null where the shape has none.
    std::unique_ptr<float[]> row_values;
    A_long row_y, row_first, row_end;
    KeptRow kept;  // the row whose masks the thread keeps for later frames (ShadingJob::stored_masks)
};

// A frame's runs, one per thread that shades its pixels, each found at the slot that the
// thread's stack hashes to (or, taken by another thread, one of the next). Without a slot a
// thread shades pixel by pixel.
struct MaskRuns {
    std::unique_ptr<MaskRun[]> runs;
    MaskRun* slots;  // runs, or two slots of no thread's where there was no memory for them
    int slot_shift;  // the top 64 - slot_shift bits of the hashed stack are the slot
};

// Where the input pixels the host hands the 8-bit pixel functions lie in memory, when they
// come from this world: a run may then read its pixels ahead of the host's calls, within
// the row. Empty (no data) when unknown: every pixel is then read when it is called for.
struct SourceRows {
    const A_u_char* data;
    A_long row_bytes;
    A_long width;
    A_long height;
};

inline SourceRows SourceRowsOf(const PF_EffectWorld& world) {
    return {reinterpret_cast<const A_u_char*>(world.data), world.rowbytes, world.width, world.height};
}

// What the specialised pixel functions receive as refcon: the frame's RenderContext, first
// so that the job's address is also the context's, and for 8-bit frames the output of every
// possible input byte at the two mask values that cover most of a frame, 0 (the core) and
// 1 (outside the shape). Except in the hue-based modes each output channel depends on its
// own input channel only, so such a pixel costs four table look-ups.
struct ShadingJob {
    RenderContext context;
    bool has_byte_tables;
    // [mask 0 or 1][alpha, red, green, blue][input byte] -> output byte
    A_u_char byte_tables[kFlatMaskCount][4][256];
    // Per row, the columns that may lie inside the shape (see fastpath/FastMasks.h); empty
    // when every pixel is to take the exact test.
    std::vector<RowSpan> outside_spans;
    std::size_t span_rows;
    A_long span_columns;
    float outside_mask;  // the mask of a pixel outside the shape: 1, or 0 when inverted
    // Whether enough pixels lie certainly outside the shape for the test that finds them to
    // pay for itself on the rest (a shape that covers the frame leaves none), and for the
    // pair tables below to save more than their 256 KiB cost to write: set with the spans.
    bool outside_test_pays;
    bool outside_pairs_pay;
    // For 8-bit frames with byte tables and spans where they pay, the byte tables of
    // outside_mask by pairs of bytes in memory order: entry v of half h gives the two output
    // bytes for the input bytes 2h and 2h + 1 that read as v. An outside pixel is then two
    // look-ups instead of four. Null otherwise.
    std::unique_ptr<std::uint16_t[]> outside_pairs;  // [2][65536]
    // Made when the pixel function is chosen (which the pixel functions rely on); where there
    // was no memory for them, no thread has a run.
    MaskRuns mask_runs;
    StoredMasks stored_masks;    // the masks kept for the frame's geometry, if any: taken by Render
    ColumnCurves column_curves;  // an unturned rectangle's, made with the pixel function
    MirrorColumns mirror_columns;  // an unturned shape's, made with the pixel function too
    SourceRows source;
    Hsv fill_hsv;  // the fill colour in HSV for the hue-based modes, set with the pixel function
    SoftLightFill soft_light;  // the fill's part of "Soft light", set with the pixel function
    HueSector fill_sector;     // the fill's hue on the colour wheel, set with the pixel function
};

// The certainly-outside pixels from which the pair tables save more than they cost. Building
// them writes 256 KiB (about 50,000 instructions); an outside pixel then takes about 9 fewer
// instructions than on the byte tables. Below this count (a 256x256 frame) the byte tables,
// which fit the first-level cache, are as fast or faster.
constexpr std::uint64_t kOutsidePixelsPayingForPairs = std::uint64_t{1} << 16;

// Fills outside_spans for a frame of the given size, outside_test_pays and outside_pairs_pay.
void PrepareOutsideSpans(ShadingJob* job, A_long columns, A_long rows);

// Whether (x, y) certainly lies outside the shape's outer outline: left of the row's span,
// or right of it within the frame. Spans never start below column 0, so a negative x (a
// huge unsigned value) fails both tests, as a column beyond the frame fails the second.
inline bool CertainlyOutside(const ShadingJob* job, A_long x, A_long y) {
    if (static_cast<std::size_t>(y) >= job->span_rows) return false;
    const RowSpan& span = job->outside_spans.data()[y];
    const A_u_long column = static_cast<A_u_long>(x);
    return column < static_cast<A_u_long>(span.first) ||
           (column > static_cast<A_u_long>(span.last) && column < static_cast<A_u_long>(job->span_columns));
}

// Fills byte_tables from the context by shading every byte value, unless the blend mode
// mixes channels.
void PrepareByteTables(ShadingJob* job);

// Fills outside_pairs from byte_tables where they pay, after PrepareByteTables and
// PrepareOutsideSpans; table_of_byte[p] is the byte_tables channel (alpha, red, green, blue)
// of byte p of a pixel.
void PrepareOutsidePairs(ShadingJob* job, const int (&table_of_byte)[4]);

// kFlatMaskZero for +0, kFlatMaskOne for 1, else kNotFlatMask. -0 is not treated as 0 so
// that the table stands in only for bit-identical inputs.
inline FlatMask ClassifyFlatMask(float m) {
    std::uint32_t bits;
    std::memcpy(&bits, &m, sizeof bits);
    if (bits == 0x00000000u) return kFlatMaskZero;
    if (bits == 0x3F800000u) return kFlatMaskOne;
    return kNotFlatMask;
}

// PixelArgb8 and its siblings pick the function for the job (and prepare the tables where
// they serve); the function must then be given the job as refcon.
PF_IteratePixel8Func PixelArgb8(ShadingJob* job);
PF_IteratePixel16Func PixelArgb16(ShadingJob* job);
PF_IteratePixel8Func PixelBgra8(ShadingJob* job);
PF_IteratePixelFloatFunc PixelBgraFloat(ShadingJob* job);

}  // namespace qxv
