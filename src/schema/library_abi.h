/* The C functions that libraries named in language encoding files export. Plain C so
   that a library can be written in any language; every name has C linkage.

   Sort-key library (sort order key "dll"):
     MAKE_SORT_KEY(text, key, fromEnd): text is the key text (at most 255 bytes, zero-
     terminated); the library writes the key it wants sorted, zero-terminated, into key,
     which has room for CRV_SORT_KEY_BUFFER bytes.

   Rendering library (encoding keys "RenDLL" and "RenTable"):
     iInit(tablePath): loads the table; returns a non-zero table handle, or 0.
     iEncode(table, under, underLength, surface, surfaceSize): writes the displayed form
       of the underlying text into surface; returns its length, or -1 when it fails.
     iUnderPos(table, under, underLength, surfacePos): the underlying position of a
       position in the displayed form.
     iSurfacePos(table, under, underLength, underPos): the displayed position of a
       position in the underlying text. */
#ifndef CORVANE_LIBRARY_ABI_H
#define CORVANE_LIBRARY_ABI_H

#include <stdint.h>

#define CRV_SORT_KEY_BUFFER 256

#ifdef __cplusplus
extern "C" {
#endif

typedef void (*CrvMakeSortKeyFn)(const char* text, char* key, int fromEnd);

typedef intptr_t (*CrvRenderInitFn)(const char* tablePath);
typedef int (*CrvRenderEncodeFn)(intptr_t table, const char* under, int underLength, char* surface,
                                 int surfaceSize);
typedef int (*CrvRenderPosFn)(intptr_t table, const char* under, int underLength, int position);

#ifdef __cplusplus
}
#endif

#endif
