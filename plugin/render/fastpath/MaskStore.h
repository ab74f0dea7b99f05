// Masks kept from one frame for the frames after it. Editors render a clip's frames with
// the same parameters, and a frame's masks depend on the shape's parameters, the host's
// scale factors and the frame's size alone, not on its pixels: once a geometry comes again
// (among the last few), its frame's masks are kept by pixel and later frames of that
// geometry copy them instead of computing them, bit for bit the same floats. (FFmpeg's own
// vignette keeps its frame's factors the same way.) A few geometries are kept at once, for
// the layers of a composition or filters stacked on a clip that render in turn. Animated
// shapes never come again and cost nothing but the comparisons.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>

#include "AE_Effect.h"
#include "render/RenderSetup.h"

namespace qxv {

// Everything a frame's masks depend on: the context's mask fields (those before `opacity`),
// the shape, the invert, the falloff, and the frame's size.
struct MaskKey {
    float geometry[24];
    std::int32_t is_ellipse, invert, falloff;
    A_long columns, rows;
};

MaskKey MaskKeyOf(const RenderContext& ctx, A_long columns, A_long rows);

struct MaskStore;  // MaskStore.cpp

// The row a thread keeps the masks of in the store, as it computes them: columns first..next
// - 1 so far. y is -1 for none.
struct KeptRow {
    A_long y = -1;
    A_long first = 0;
    A_long next = 0;
};

// A frame's hold on the kept masks of its geometry; none where the geometry has not come
// before, the frame is too large to keep, or frames of other geometries hold every store. The masks of a row (and of its mirror row, which has the same) are kept by the
// first thread that computes a run of it: the columns it computes one run after another
// from there. They are read only below the end it has published, and no column is written
// twice.
class StoredMasks {
public:
    StoredMasks() = default;
    StoredMasks(StoredMasks&& other) noexcept : store_(other.store_) { other.store_ = nullptr; }
    StoredMasks& operator=(StoredMasks&& other) noexcept;
    StoredMasks(const StoredMasks&) = delete;
    StoredMasks& operator=(const StoredMasks&) = delete;
    ~StoredMasks();

    // The hold for a frame of `columns` by `rows` pixels with the context's mask; also notes
    // that the geometry came, for the frames after it.
    static StoredMasks For(const RenderContext& ctx, A_long columns, A_long rows);

    explicit operator bool() const { return store_ != nullptr; }

    // Copies the masks of pixels x..x + count - 1 of row y into `masks` if they are kept.
    bool Read(A_long x, A_long y, int count, float* masks) const;

    // Keeps the masks of pixels x..x + count - 1 of row y, just computed, where they are this
    // thread's to keep: the row's first run, or the one that follows the thread's last run
    // of the row it keeps (`kept`, which the thread's run holds for the frame).
    void Keep(A_long x, A_long y, int count, const float* masks, KeptRow* kept) const;

private:
    explicit StoredMasks(MaskStore* store) : store_(store) {}
    MaskStore* store_ = nullptr;
};

// The most masks kept at once, for all geometries together (64 MiB of them: a 4096 by 4096
// frame's); a larger frame computes every mask.
constexpr std::uint64_t kMostStoredPixels = std::uint64_t{1} << 24;

}  // namespace qxv
