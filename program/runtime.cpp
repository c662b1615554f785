// The shipped program is built without C++ exceptions. These definitions take
// the place of the C++ runtime's throwing helpers, so that the exception runtime,
// the demangler and the thread library behind them are not linked in: the
// program is about a quarter of the size. The program never throws on purpose;
// the only way here is running out of memory or a broken invariant, and both end
// the process, as an unhandled exception would.
#include <windows.h>

#include <cstdlib>
#include <new>

namespace {

[[noreturn]] void OutOfMemory() {
    ::FatalAppExitW(0, L"Out of memory");
    ::ExitProcess(3);
}

}  // namespace

// What the library's checks pass for a message (see prelude.h).
extern "C" const char marvolt_no_message[] = "";

void* operator new(std::size_t size) {
    void* block = std::malloc(size != 0 ? size : 1);
    if (!block) OutOfMemory();
    return block;
}
void* operator new[](std::size_t size) { return operator new(size); }
void operator delete(void* block) noexcept { std::free(block); }
void operator delete[](void* block) noexcept { std::free(block); }
void operator delete(void* block, std::size_t) noexcept { std::free(block); }
void operator delete[](void* block, std::size_t) noexcept { std::free(block); }

namespace std {
void __throw_bad_alloc() { OutOfMemory(); }
void __throw_bad_array_new_length() { OutOfMemory(); }
void __throw_length_error(const char*) { OutOfMemory(); }
void __throw_logic_error(const char*) { std::abort(); }
void __throw_out_of_range(const char*) { std::abort(); }
void __throw_out_of_range_fmt(const char*, ...) { std::abort(); }
void __throw_invalid_argument(const char*) { std::abort(); }
void __throw_bad_function_call() { std::abort(); }
}  // namespace std

namespace __gnu_cxx {
// The default handler prints the demangled type of an uncaught exception; a GUI
// program has nowhere to print it.
void __verbose_terminate_handler() { std::abort(); }
}  // namespace __gnu_cxx
