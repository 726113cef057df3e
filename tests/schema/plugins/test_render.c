/* A rendering library for tests: the displayed form of a text is the text reversed, and
   positions are mirrored. iInit accepts only a table whose first line is "reverse". */
#include <stdint.h>
#include <stdio.h>
#include <string.h>

#include "schema/library_abi.h"

intptr_t iInit(const char* tablePath) {
    char line[16] = {0};
    FILE* f = fopen(tablePath, "rb");
    if (!f)
        return 0;
    size_t n = fread(line, 1, 7, f);
    fclose(f);
    return n == 7 && memcmp(line, "reverse", 7) == 0 ? 42 : 0;
}

int iEncode(intptr_t table, const char* under, int underLength, char* surface, int surfaceSize) {
    if (table != 42 || underLength > surfaceSize)
        return -1;
    for (int i = 0; i < underLength; ++i)
        surface[i] = under[underLength - 1 - i];
    return underLength;
}

int iUnderPos(intptr_t table, const char* under, int underLength, int position) {
    (void)table;
    (void)under;
    return underLength - position;
}

int iSurfacePos(intptr_t table, const char* under, int underLength, int position) {
    (void)table;
    (void)under;
    return underLength - position;
}
