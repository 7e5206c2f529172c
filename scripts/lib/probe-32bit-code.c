/* Exits 0 when this machine lets a 64-bit Linux process run 32-bit x86 code,
 * as WoW64 Wine does: a far call into the 32-bit user code segment, and the
 * 32-bit system call gate that Wine asks for its thread segments. Some
 * virtual machines offer neither; the probe then dies of a fault. */
#include <stdint.h>
#include <string.h>
#include <sys/mman.h>
#include <unistd.h>

#define USER32_CS 0x23

int main(void)
{
    /* mov eax, 0x32; lret (a 32-bit far return back to the caller) */
    static const unsigned char code32[] = { 0xb8, 0x32, 0, 0, 0, 0xcb };
    unsigned char *low = mmap((void *)0x10000000, 4096, PROT_READ | PROT_WRITE | PROT_EXEC,
                              MAP_PRIVATE | MAP_ANONYMOUS | MAP_FIXED, -1, 0);
    if (low == MAP_FAILED)
        return 2;
    memcpy(low, code32, sizeof code32);

    static uint32_t target[2];
    target[0] = (uint32_t)(uintptr_t)low;
    target[1] = USER32_CS;
    long result = 0;
    __asm__ volatile("lcall *(%1)" : "=a"(result) : "r"(target) : "memory");
    if (result != 0x32)
        return 3;

    long pid = 20; /* getpid in the 32-bit system call table */
    __asm__ volatile("int $0x80" : "+a"(pid) : : "memory");
    return pid == getpid() ? 0 : 4;
}
