/* The sample program: cc65 puts the usual "SYS2061" start line in front of it. */
#include <stdio.h>

int main(void) {
    puts("HELLO FROM THE SAMPLE DISK");
    return 0;
}
