#include "render/fastpath/MaskStore.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <new>
#include <thread>
#include <vector>

#include "render/fastpath/FastMasks.h"

namespace qxv {

static_assert(offsetof(RenderContext, pixel_to_shape) == 0 &&
                  offsetof(RenderContext, opacity) == sizeof(MaskKey::geometry),
              "the mask's fields of the context are the floats before opacity");
static_assert(sizeof(MaskKey) == sizeof(float) * 24 + sizeof(std::int32_t) * 3 + sizeof(A_long) * 2,
              "no padding: keys compare byte for byte");

MaskKey MaskKeyOf(const RenderContext& ctx, A_long columns, A_long rows) {
    MaskKey key;
    std::memcpy(key.geometry, &ctx, sizeof key.geometry);
    key.is_ellipse = ctx.is_ellipse;
    key.invert = ctx.invert;
    key.falloff = ctx.falloff;
    key.columns = columns;
    key.rows = rows;
    return key;
}

namespace {

// Bit for bit: a float that is not a number still names one geometry, and -0 another than 0.
bool SameKey(const MaskKey& a, const MaskKey& b) { return std::memcmp(&a, &b, sizeof a) == 0; }

// A row's word: bit 63 once a thread keeps the row, then the columns it has published,
// first in bits 0..30 and the end in bits 31..61.
constexpr std::uint64_t kKeptBit = std::uint64_t{1} << 63;
constexpr std::uint64_t kColumnBits = (std::uint64_t{1} << 31) - 1;

std::uint64_t RowWord(A_long first, A_long end) {
    return kKeptBit | static_cast<std::uint64_t>(first) | static_cast<std::uint64_t>(end) << 31;
}

}  // namespace

// Rows that mirror each other about an unturned shape's origin have the same masks (see
// FindMirrorRows): they share a kept row, so a centred vignette keeps half of its rows, and
// a frame that keeps them computes half.
struct MaskStore {
    MaskKey key;
    std::vector<A_long> kept_row_of;  // by frame row: the kept row that holds its masks
    std::size_t pixel_capacity = 0;
    std::size_t row_capacity = 0;
    std::unique_ptr<float[]> masks;                    // by kept row, key.columns to a row
    std::unique_ptr<std::atomic<std::uint64_t>[]> rows;  // each kept row's word (RowWord), 0 before it is kept
    // Under the shelf's lock: the frames holding it, and when one last took it.
    int holders = 0;
    std::uint64_t last_taken = 0;
};

namespace {

// Geometries kept at once: a composition's layers, or filters stacked on a clip, each with
// its own vignette, render in turn frame after frame.
constexpr int kStores = 4;
// Geometries remembered as having come: one that comes again among them gets a store.
constexpr int kRecentKeys = 8;

// The plug-in's stores and the geometries that came last. Plain data, zeroed before any code
// runs and never destroyed, so that it outlives the static destructors: a host may still
// render on other threads while its process exits (ShelfCloser, below).
struct Shelf {
    std::atomic<bool> busy;
    bool closed;
    std::uint64_t clock;  // counts the frames that asked, for the least recently taken store
    MaskKey recent[kRecentKeys];
    int recent_count;
    int recent_next;
    MaskStore* stores[kStores];
};
Shelf g_shelf;

// Held for comparisons and a pointer's change, or to make a store.
class ShelfLock {
public:
    ShelfLock() {
        while (g_shelf.busy.exchange(true, std::memory_order_acquire)) std::this_thread::yield();
    }
    ~ShelfLock() { g_shelf.busy.store(false, std::memory_order_release); }
    ShelfLock(const ShelfLock&) = delete;
    ShelfLock& operator=(const ShelfLock&) = delete;
};

// When the plug-in is unloaded (or its process exits) the stores go, or, held by a frame
// still rendering, go with that frame's hold; no store is made after.
struct ShelfCloser {
    ~ShelfCloser() {
        ShelfLock lock;
        g_shelf.closed = true;
        for (MaskStore*& store : g_shelf.stores) {
            if (store && store->holders == 0) delete store;
            store = nullptr;
        }
    }
} g_shelf_closer;

// Whether `key` came among the recent geometries; notes it there if not.
bool CameBefore(const MaskKey& key) {
    for (int i = 0; i < g_shelf.recent_count; ++i) {
        if (SameKey(g_shelf.recent[i], key)) return true;
    }
    g_shelf.recent[g_shelf.recent_next] = key;
    g_shelf.recent_next = (g_shelf.recent_next + 1) % kRecentKeys;
    g_shelf.recent_count = std::min(g_shelf.recent_count + 1, kRecentKeys);
    return false;
}

// Which kept row each of the frame's rows takes: its mirror's, else one of its own. Returns
// how many kept rows there are; 0 without memory.
std::size_t AssignKeptRows(const RenderContext& ctx, A_long rows, std::vector<A_long>* kept_row_of) {
    try {
        const std::vector<A_long> mirror_of = FindMirrorRows(ctx, rows);
        kept_row_of->resize(static_cast<std::size_t>(rows));
        A_long kept_rows = 0;
        for (std::size_t y = 0; y < kept_row_of->size(); ++y) {
            const A_long mirror = mirror_of.empty() ? -1 : mirror_of[y];
            (*kept_row_of)[y] = mirror >= 0 ? (*kept_row_of)[static_cast<std::size_t>(mirror)] : kept_rows++;
        }
        return static_cast<std::size_t>(kept_rows);
    } catch (const std::bad_alloc&) {
        return 0;
    }
}

// The slot of the least recently taken store that no frame holds, but `besides`; -1 where
// there is none.
int LeastRecentIdle(int besides) {
    int chosen = -1;
    for (int slot = 0; slot < kStores; ++slot) {
        const MaskStore* store = g_shelf.stores[slot];
        if (slot == besides || !store || store->holders) continue;
        if (chosen < 0 || store->last_taken < g_shelf.stores[chosen]->last_taken) chosen = slot;
    }
    return chosen;
}

// The slot for a new geometry's store: an empty one, else the least recently taken idle one;
// -1 where frames hold every store.
int FreeSlot() {
    for (int slot = 0; slot < kStores; ++slot) {
        if (!g_shelf.stores[slot]) return slot;
    }
    return LeastRecentIdle(-1);
}

// The masks the other slots' stores have room for.
std::size_t PixelsElsewhere(int slot) {
    std::size_t pixels = 0;
    for (int other = 0; other < kStores; ++other) {
        if (other != slot && g_shelf.stores[other]) pixels += g_shelf.stores[other]->pixel_capacity;
    }
    return pixels;
}

// Frees the least recently taken idle store but the one in `slot`; false where there is none.
bool FreeLeastRecentBesides(int slot) {
    const int chosen = LeastRecentIdle(slot);
    if (chosen < 0) return false;
    delete g_shelf.stores[chosen];
    g_shelf.stores[chosen] = nullptr;
    return true;
}

// The store in `slot` (which no frame holds) made ready for `key` (the context's) with its
// frame as the only holder: its memory taken over where it is large enough, else new,
// within kMostStoredPixels for all stores together (the least recently taken ones freed to
// make room); null where there is no room or no memory.
MaskStore* StoreFor(int slot, const MaskKey& key, const RenderContext& ctx) {
    MaskStore*& store = g_shelf.stores[slot];
    if (!store) store = new (std::nothrow) MaskStore;
    if (!store) return nullptr;
    const std::size_t rows = AssignKeptRows(ctx, key.rows, &store->kept_row_of);
    const std::size_t pixels = static_cast<std::size_t>(key.columns) * rows;
    if (!rows || store->pixel_capacity < pixels || store->row_capacity < rows) {
        // The masks are written before they are read; only the row words start at zero.
        store->masks.reset();
        store->rows.reset();
        store->pixel_capacity = store->row_capacity = 0;
        while (rows && PixelsElsewhere(slot) + pixels > kMostStoredPixels && FreeLeastRecentBesides(slot)) {
        }
        if (rows && PixelsElsewhere(slot) + pixels <= kMostStoredPixels) {
            store->masks.reset(new (std::nothrow) float[pixels]);
            store->rows.reset(new (std::nothrow) std::atomic<std::uint64_t>[rows]);
        }
        if (!store->masks || !store->rows) {
            delete store;
            store = nullptr;
            return nullptr;
        }
        store->pixel_capacity = pixels;
        store->row_capacity = rows;
    }
    store->key = key;
    for (std::size_t row = 0; row < rows; ++row) store->rows[row].store(0, std::memory_order_relaxed);
    store->holders = 1;
    store->last_taken = g_shelf.clock;
    return store;
}

}  // namespace

StoredMasks StoredMasks::For(const RenderContext& ctx, A_long columns, A_long rows) {
    if (columns <= 0 || rows <= 0 ||
        static_cast<std::uint64_t>(columns) * static_cast<std::uint64_t>(rows) > kMostStoredPixels) {
        return {};
    }
    const MaskKey key = MaskKeyOf(ctx, columns, rows);
    ShelfLock lock;
    if (g_shelf.closed) return {};
    ++g_shelf.clock;
    for (MaskStore* store : g_shelf.stores) {
        if (store && SameKey(store->key, key)) {
            ++store->holders;
            store->last_taken = g_shelf.clock;
            return StoredMasks(store);
        }
    }
    // A geometry that came once has no store yet (an animated shape would only write one);
    // one that comes while every store is held by a frame has none this time.
    if (!CameBefore(key)) return {};
    const int slot = FreeSlot();
    return slot < 0 ? StoredMasks() : StoredMasks(StoreFor(slot, key, ctx));
}

StoredMasks& StoredMasks::operator=(StoredMasks&& other) noexcept {
    if (this != &other) {
        StoredMasks old(std::move(*this));
        store_ = other.store_;
        other.store_ = nullptr;
    }
    return *this;
}

StoredMasks::~StoredMasks() {
    if (!store_) return;
    ShelfLock lock;
    if (--store_->holders == 0 && g_shelf.closed) delete store_;
}

bool StoredMasks::Read(A_long x, A_long y, int count, float* masks) const {
    const MaskKey& key = store_->key;
    if (y < 0 || y >= key.rows || x < 0) return false;
    const std::size_t kept_row = static_cast<std::size_t>(store_->kept_row_of[static_cast<std::size_t>(y)]);
    const std::uint64_t word = store_->rows[kept_row].load(std::memory_order_acquire);
    const A_long first = static_cast<A_long>(word & kColumnBits);
    const A_long end = static_cast<A_long>(word >> 31 & kColumnBits);
    if (!(word & kKeptBit) || x < first || std::int64_t{x} + count > end) return false;
    const float* row = store_->masks.get() + kept_row * static_cast<std::size_t>(key.columns);
    std::memcpy(masks, row + x, static_cast<std::size_t>(count) * sizeof(float));
    // The lanes past the run that the shading in lanes reads and no pixel keeps.
    std::fill(masks + count, masks + ((count + 7) & ~7), 0.0f);
    return true;
}

void StoredMasks::Keep(A_long x, A_long y, int count, const float* masks, KeptRow* kept) const {
    const MaskKey& key = store_->key;
    if (y < 0 || y >= key.rows || x < 0 || std::int64_t{x} + count > key.columns) return;
    const std::size_t kept_row = static_cast<std::size_t>(store_->kept_row_of[static_cast<std::size_t>(y)]);
    std::atomic<std::uint64_t>& word = store_->rows[kept_row];
    if (kept->y != y || kept->next != x) {
        // Only a row no thread keeps yet becomes this thread's.
        std::uint64_t none = 0;
        if (word.load(std::memory_order_relaxed) != 0 ||
            !word.compare_exchange_strong(none, RowWord(x, x), std::memory_order_relaxed)) {
            return;
        }
        *kept = {y, x, x};
    }
    float* row = store_->masks.get() + kept_row * static_cast<std::size_t>(key.columns);
    std::memcpy(row + x, masks, static_cast<std::size_t>(count) * sizeof(float));
    kept->next = x + count;
    word.store(RowWord(kept->first, kept->next), std::memory_order_release);
}

}  // namespace qxv
