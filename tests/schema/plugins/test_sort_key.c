/* A sort-key library for tests: the key text is the text with its vowels removed, so
   that words sort by their consonant skeleton. */
#include <string.h>

#include "schema/library_abi.h"

void MAKE_SORT_KEY(const char* text, char* key, int fromEnd) {
    (void)fromEnd;
    size_t n = 0;
    for (; *text && n + 1 < CRV_SORT_KEY_BUFFER; ++text)
        if (!strchr("aeiouAEIOU", *text))
            key[n++] = *text;
    key[n] = '\0';
}
