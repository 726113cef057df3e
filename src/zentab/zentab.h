/* zentab.h: the C interface of the Zentab change-table engine.
   Load a change table, run text through it by whole buffers, by pulling input through a
   callback, by pushing input with output going to a callback, or file to file. */
#ifndef ZENTAB_H
#define ZENTAB_H

#include <stdint.h>

#if defined(_WIN32)
#define ZTAPI __stdcall
#else
#define ZTAPI
#endif

#if defined(ZENTAB_BUILDING_SHARED)
#define ZTEXPORT __attribute__((visibility("default")))
#else
#define ZTEXPORT
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* A loaded table. 0 is never a valid handle. */
typedef uintptr_t ZTHANDLE;

/* Receives every message of a handle: its number in the message table, 0, the text with
   its arguments filled in, and the source line of the table being run (0 when none).
   Return non-zero to go on (OK), 0 to end the current call as a fatal error (Cancel). */
typedef int(ZTAPI* ZTErrorCallback)(int message, int reserved, const char* text, intptr_t value);
/* Receives each compile error: its text, the table's line number and the column (from 1). */
typedef void(ZTAPI* ZTCompileErrorCallback)(const char* message, int line, int column);
/* Fills buffer with at most size bytes of input; returns how many, 0 at the end of the
   input, a negative value on a read error. */
typedef int(ZTAPI* ZTInputCallback)(char* buffer, int size, intptr_t user);
/* Takes length bytes of output; returns a negative value when it could not write them. */
typedef int(ZTAPI* ZTOutputCallback)(const char* buffer, int length, intptr_t user);
/* Tracing: the source line of the change about to run (lineTrace) or of the output command
   about to run (other, value = its command code). Return 0 to stop processing. */
typedef int(ZTAPI* ZTDebugCallback)(int sourceLine, intptr_t value);

/* Return codes: 0 success; -1 argument, fatal or engine error; -2 the table did not
   compile (loading only); 1 end of data (ZTGetBuffer, ZTMultiProcessBuffer) or, from a
   load, a table in binary mode. */

ZTEXPORT int ZTAPI ZTLoadTable(const char* tableFile, ZTHANDLE* handle, intptr_t instance);
ZTEXPORT int ZTAPI ZTLoadTableFromBuffer(const char* tableText, ZTHANDLE* handle);
ZTEXPORT int ZTAPI ZTLoadTableFromBufferWithErrorCallback(const char* tableText, ZTHANDLE* handle,
                                                          ZTCompileErrorCallback callback);
ZTEXPORT int ZTAPI ZTReinitializeTable(ZTHANDLE handle);
ZTEXPORT int ZTAPI ZTUnloadTable(ZTHANDLE handle);
ZTEXPORT int ZTAPI ZTSetErrorCallBack(ZTHANDLE handle, ZTErrorCallback callback);
ZTEXPORT int ZTAPI ZTSetDebugCallbacks(ZTHANDLE handle, ZTDebugCallback lineTrace,
                                       ZTDebugCallback other);
ZTEXPORT int ZTAPI ZTSetUpInputFilter(ZTHANDLE handle, ZTInputCallback callback, intptr_t user);
ZTEXPORT int ZTAPI ZTGetBuffer(ZTHANDLE handle, char* output, int* length);
ZTEXPORT int ZTAPI ZTSetUpOutputFilter(ZTHANDLE handle, ZTOutputCallback callback, intptr_t user);
ZTEXPORT int ZTAPI ZTPutBuffer(ZTHANDLE handle, const char* input, int length, int lastCall);
ZTEXPORT int ZTAPI ZTFlush(ZTHANDLE handle);
ZTEXPORT int ZTAPI ZTProcessBuffer(ZTHANDLE handle, const char* input, int inputLength,
                                   char* output, int* outputLength);
ZTEXPORT int ZTAPI ZTMultiProcessBuffer(ZTHANDLE handle, const char* input, int inputLength,
                                        int lastInput, char* output, int* outputLength);
ZTEXPORT int ZTAPI ZTProcessFile(ZTHANDLE handle, const char* inputFile, const char* outputFile,
                                 int append);
ZTEXPORT int ZTAPI ZTQueryStore(ZTHANDLE handle, const char* store, char* buffer, int size);
ZTEXPORT int ZTAPI ZTQuerySwitch(ZTHANDLE handle, const char* switchName);
ZTEXPORT int ZTAPI ZTGetActiveGroups(ZTHANDLE handle, char* buffer, int size);
ZTEXPORT int ZTAPI ZTQueryInput(ZTHANDLE handle, char* buffer, int size);
ZTEXPORT int ZTAPI ZTQueryOutput(ZTHANDLE handle, char* buffer, int size);

#ifdef __cplusplus
}
#endif

#endif /* ZENTAB_H */
