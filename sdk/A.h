// Base types of the host interface. Declared with <cstdint> widths so their sizes do not
// depend on the platform's long.
#pragma once

#include <stddef.h>
#include <stdint.h>

typedef int32_t A_long;
typedef uint32_t A_u_long;
typedef int16_t A_short;
typedef uint16_t A_u_short;
typedef char A_char;
typedef uint8_t A_u_char;
typedef uint8_t A_Boolean;
typedef intptr_t A_intptr_t;
typedef double A_FpLong;
typedef float A_FpShort;
typedef int32_t A_Err;

typedef struct {
    A_long value;
    A_u_long scale;
} A_Time;

typedef struct {
    A_long x, y;
} A_LPoint;

typedef struct {
    A_FpLong x, y;
} A_FloatPoint;
