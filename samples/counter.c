/* A second sample program with its own start line at $0801. */
#include <stdio.h>

int main(void) {
    unsigned char i;
    for (i = 1; i <= 10; ++i)
        printf("%u\n", i);
    return 0;
}
