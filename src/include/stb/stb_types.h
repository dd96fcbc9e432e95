#ifndef KESTREL_STB_TYPES_H
#define KESTREL_STB_TYPES_H

/*
 * Scalar types of the platform AV library's C interface.
 *
 * The records of this interface are the board's: little-endian 32-bit ARM, where enumerations,
 * BOOL, HANDLE and U32 are 4 bytes and long long fields are 8-byte aligned. Widths the board
 * fixes are written with fixed-width types, so the records keep their layout on any compiler;
 * only pointers and size_t follow the machine (see stb_layout.h).
 *
 * Usable from C (C11) and C++.
 */

#include <stdbool.h>
#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
#define STB_EXTERN_C_BEGIN extern "C" {
#define STB_EXTERN_C_END }
#else
#define STB_EXTERN_C_BEGIN
#define STB_EXTERN_C_END
#endif

STB_EXTERN_C_BEGIN

/* 4 bytes: 0 false, anything else true. */
typedef int32_t BOOL;
#ifndef TRUE
#define TRUE 1
#endif
#ifndef FALSE
#define FALSE 0
#endif

/* Opaque 32-bit handle of a library object; 0 is never a valid one. */
typedef uint32_t HANDLE;

typedef uint32_t U32;

/* Every operation returns an unsigned status; 0 is success, anything else a library error
 * code that callers log as "%#x". */
typedef uint32_t STB_STATUS;
#define STB_SUCCESS 0u

STB_EXTERN_C_END

#endif /* KESTREL_STB_TYPES_H */
