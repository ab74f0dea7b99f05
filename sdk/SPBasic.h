// A header of its own, as hosts and plug-ins include it by this name. The basic suite: the one
// table the host hands over directly (in_data->pica_basicP). Every other suite is acquired
// through it by name and version and must be released the same way.
#pragma once

#include "A.h"

#ifdef __cplusplus
extern "C" {
#endif

typedef int32_t SPErr;
// 32-bit on Windows (the shipping target); macOS hosts use 8 bits.
typedef int32_t SPBoolean;

enum { kSPNoError = 0 };

typedef struct SPBasicSuite {
    SPErr (*AcquireSuite)(const char* name, int32_t version, const void** suite);
    SPErr (*ReleaseSuite)(const char* name, int32_t version);
    SPBoolean (*IsEqual)(const char* token1, const char* token2);
    SPErr (*AllocateBlock)(size_t size, void** block);
    SPErr (*FreeBlock)(void* block);
    SPErr (*ReallocateBlock)(void* block, size_t newSize, void** newblock);
    SPErr (*Undefined)(void);
} SPBasicSuite;

#ifdef __cplusplus
}
#endif
