#pragma once
// A broken property stops the fuzzer with the input that broke it, like a crash would.
#include <cstdio>
#include <cstdlib>

#define PROPRIEDADE(condicao)                                                                          \
    do {                                                                                               \
        if (!(condicao)) {                                                                             \
            std::fprintf(stderr, "propriedade violada: %s (%s:%d)\n", #condicao, __FILE__, __LINE__); \
            std::abort();                                                                              \
        }                                                                                              \
    } while (false)
