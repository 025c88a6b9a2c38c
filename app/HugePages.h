#pragma once

// Mesa's software renderer takes the 256 MB shadow map and every texture from malloc. Where
// faulting a page in is slow (a virtual machine may take 15 us for each 4 KiB page, so the
// shadow map alone costs most of a second), glibc can back large allocations with transparent
// huge pages instead: 512 times fewer faults. glibc reads that setting only as a program
// starts, so this starts the game once more, in the same process, with it set. It returns
// without doing anything where GLIBC_TUNABLES is already set (so `GLIBC_TUNABLES=` turns it
// off), and when the restart fails.
void restartWithHugePages(char** argv);

// True where glibc was asked (by that restart or by the user) to back large allocations with
// transparent huge pages and the kernel grants them on request.
bool mallocUsesHugePages();
