#!/usr/bin/env bash
# Structural checks of the built shared library (its exported names are
# checked against the header on the installed package, by package.install):
#  - it allocates no heap memory (no reference to the allocators);
#  - it keeps no mutable global state (no writable data of its own).
set -u
lib=$1
fail=0
alloc=$(nm -D --undefined-only "$lib" | awk '{print $2}' |
        grep -E '^(malloc|calloc|realloc|free|_Znwm|_Znam|_ZdlPv|_ZdaPv|_ZdlPvm|aligned_alloc|posix_memalign)(@.*)?$' || true)
if [ -n "$alloc" ]; then echo "heap allocation referenced:" $alloc; fail=1; fi

# Writable data defined by the library's own code (.data and .bss), leaving
# out what the toolchain puts into every shared object.
state=$(nm --defined-only "$lib" | awk '$2 ~ /^[bBdD]$/ {print $3}' |
        grep -vE '^(__dso_handle|__TMC_END__|_edata|_end|__bss_start|completed\.[0-9]+|__data_start|data_start|_GLOBAL_OFFSET_TABLE_|_DYNAMIC|__do_global_dtors_aux_fini_array_entry|__frame_dummy_init_array_entry|DW\.ref\..*|__FRAME_END__)$' || true)
if [ -n "$state" ]; then echo "mutable global state:" $state; fail=1; fi
exit $fail
