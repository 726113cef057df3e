/* zentab.h used from C: load, process, query, unload; argument errors through the error
   callback. Exits non-zero on the first failed check. */
#include <stdio.h>
#include <string.h>

#include "zentab/zentab.h"

static int failures = 0;
static int lastMessage = -1;

#define CHECK(cond)                                                                                \
    do {                                                                                           \
        if (!(cond)) {                                                                             \
            fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #cond);               \
            ++failures;                                                                            \
        }                                                                                          \
    } while (0)

static int ZTAPI OnMessage(int message, int reserved, const char* text, intptr_t value) {
    (void)reserved;
    (void)text;
    (void)value;
    lastMessage = message;
    return 1;
}

static int ZTAPI Collect(const char* buffer, int length, intptr_t user) {
    strncat((char*)user, buffer, (size_t)length);
    return length;
}

int main(void) {
    ZTHANDLE h = 0;
    char out[256];
    int length = (int)sizeof out;
    char collected[256] = "";

    CHECK(ZTLoadTable(NULL, NULL, 0) == -1);
    CHECK(ZTLoadTableFromBuffer("begin > store(s) 'v' endstore use(main)\ngroup(main)\n'a' > 'b'\n",
                                &h) == 0);
    CHECK(h != 0);
    CHECK(ZTSetErrorCallBack(h, OnMessage) == 0);
    CHECK(ZTProcessBuffer(h, "banana", 6, out, &length) == 0);
    CHECK(length == 6 && memcmp(out, "bbnbnb", 6) == 0);
    CHECK(ZTQueryStore(h, "s", out, (int)sizeof out) == 1 && strcmp(out, "v") == 0);
    CHECK(ZTGetActiveGroups(h, out, (int)sizeof out) == 5 && strcmp(out, "main ") == 0);

    length = 3;
    CHECK(ZTProcessBuffer(h, "banana", 6, out, &length) == -1);
    CHECK(length == 0 && lastMessage == 83);

    CHECK(ZTReinitializeTable(h) == 0);
    CHECK(ZTSetUpOutputFilter(h, Collect, (intptr_t)collected) == 0);
    CHECK(ZTPutBuffer(h, "aa", 2, 0) == 0);
    CHECK(ZTPutBuffer(h, "xa", 2, 0) == 0);
    CHECK(ZTFlush(h) == 0);
    CHECK(strcmp(collected, "bbxb") == 0);

    CHECK(ZTUnloadTable(h) == 0);
    CHECK(ZTProcessBuffer(0, "a", 1, out, &length) == -1);
    if (failures == 0)
        printf("zentab C interface: all checks passed\n");
    return failures ? 1 : 0;
}
