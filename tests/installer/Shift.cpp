// 4 KB of code that the linker places before all of the library's own code but the hook entries.
asm(".text\n.globl upgrade_shift\nupgrade_shift:\n.skip 4096, 0xcc\n");
