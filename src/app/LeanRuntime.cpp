// Brindle throws no exceptions, and running out of memory is not something a tool this small
// can recover from. The standard library's throw points and its verbose terminate handler
// therefore end the process at once; that keeps the exception objects, their message
// formatting and the demangler (over 100 KB) out of the one executable that users copy.
// Linked into brindle.exe only: the tests keep the library's own behaviour.

#include <cstdlib>

namespace __gnu_cxx {
void __verbose_terminate_handler() {
    std::abort();
}
} // namespace __gnu_cxx

namespace std {
void __throw_bad_alloc() {
    abort();
}
void __throw_bad_array_new_length() {
    abort();
}
void __throw_length_error(const char*) {
    abort();
}
void __throw_logic_error(const char*) {
    abort();
}
void __throw_out_of_range(const char*) {
    abort();
}
void __throw_out_of_range_fmt(const char*, ...) {
    abort();
}
void __throw_invalid_argument(const char*) {
    abort();
}
void __throw_bad_function_call() {
    abort();
}
} // namespace std

// The global allocation functions, so that the library's, which throw std::bad_alloc, and with
// them the whole exception runtime stay out of the executable. Out of memory ends the process.
void* operator new(std::size_t size) {
    if (void* block = std::malloc(size ? size : 1))
        return block;
    std::abort();
}
void* operator new[](std::size_t size) {
    return operator new(size);
}
void operator delete(void* block) noexcept {
    std::free(block);
}
void operator delete[](void* block) noexcept {
    std::free(block);
}
void operator delete(void* block, std::size_t) noexcept {
    std::free(block);
}
void operator delete[](void* block, std::size_t) noexcept {
    std::free(block);
}
