// Premiere Pro's pixel-format suite. A four-character format code packs its characters so
// that, stored little-endian, the bytes in memory read them in order.
#pragma once

#include "AE_Effect.h"

#ifdef __cplusplus
extern "C" {
#endif

typedef uint32_t PrPixelFormat;

#define MAKE_PIXEL_FORMAT_FOURCC(ch0, ch1, ch2, ch3)                                                    \
    ((uint32_t)(uint8_t)(ch0) | ((uint32_t)(uint8_t)(ch1) << 8) | ((uint32_t)(uint8_t)(ch2) << 16) | \
     ((uint32_t)(uint8_t)(ch3) << 24))

enum {
    PrPixelFormat_Any = 0,
    PrPixelFormat_BGRA_4444_8u = MAKE_PIXEL_FORMAT_FOURCC('b', 'g', 'r', 'a'),   // 0x61726762
    PrPixelFormat_BGRA_4444_32f = MAKE_PIXEL_FORMAT_FOURCC('B', 'G', 'r', 'a')   // 0x61724742
};

typedef A_long PF_NewWorldFlags;

#define kPFPixelFormatSuite "PF Pixel Format Suite"
#define kPFPixelFormatSuiteVersion1 1

typedef struct PF_PixelFormatSuite1 {
    PF_Err (*AddSupportedPixelFormat)(PF_ProgPtr effect_ref, PrPixelFormat pixelFormat);
    PF_Err (*ClearSupportedPixelFormats)(PF_ProgPtr effect_ref);
    PF_Err (*NewWorldOfPixelFormat)(PF_ProgPtr effect_ref, A_u_long width, A_u_long height, PF_NewWorldFlags flags,
                                    PrPixelFormat pixelFormat, PF_EffectWorld* world);
    PF_Err (*DisposeWorld)(PF_ProgPtr effect_ref, PF_EffectWorld* world);
    PF_Err (*GetPixelFormat)(PF_EffectWorld* inWorld, PrPixelFormat* pixelFormat);
    PF_Err (*GetBlackForPixelFormat)(PrPixelFormat pixelFormat, void* pixelData);
    PF_Err (*GetWhiteForPixelFormat)(PrPixelFormat pixelFormat, void* pixelData);
    PF_Err (*ConvertColorToPixelFormattedData)(PrPixelFormat pixelFormat, float alpha, float red, float green,
                                               float blue, void* pixelData);
} PF_PixelFormatSuite1;

#ifdef __cplusplus
}
#endif
