/* A rendering library that lacks iSurfacePos: not valid. */
#include <stdint.h>

intptr_t iInit(const char* tablePath) {
    (void)tablePath;
    return 1;
}
