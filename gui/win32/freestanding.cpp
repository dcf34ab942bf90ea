// The memory and string routines the compiler and the string code call,
// for an exe without a C library. Plain loops: the exe's strings are short.
//
// Built with -ffreestanding -fno-tree-loop-distribute-patterns and without
// link-time optimisation: otherwise GCC recognises each loop as the very
// routine it defines and turns it into a call of itself.
#include <cstddef>

extern "C" {

void* memcpy(void* to, const void* from, std::size_t size) {
    auto* out = static_cast<unsigned char*>(to);
    const auto* in = static_cast<const unsigned char*>(from);
    while (size--) *out++ = *in++;
    return to;
}

// The areas may overlap: copy from the end when the target lies behind.
void* memmove(void* to, const void* from, std::size_t size) {
    auto* out = static_cast<unsigned char*>(to);
    const auto* in = static_cast<const unsigned char*>(from);
    if (out <= in || out >= in + size) return memcpy(to, from, size);
    while (size--) out[size] = in[size];
    return to;
}

void* memset(void* to, int byte, std::size_t size) {
    auto* out = static_cast<unsigned char*>(to);
    while (size--) *out++ = static_cast<unsigned char>(byte);
    return to;
}

int memcmp(const void* a, const void* b, std::size_t size) {
    const auto* left = static_cast<const unsigned char*>(a);
    const auto* right = static_cast<const unsigned char*>(b);
    for (std::size_t i = 0; i < size; ++i) {
        if (left[i] != right[i]) return left[i] < right[i] ? -1 : 1;
    }
    return 0;
}

std::size_t strlen(const char* text) {
    std::size_t length = 0;
    while (text[length]) ++length;
    return length;
}

std::size_t wcslen(const wchar_t* text) {
    std::size_t length = 0;
    while (text[length]) ++length;
    return length;
}

}  // extern "C"
