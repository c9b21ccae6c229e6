// What libstdc++ would bring into Quorvel.exe whole, kept out.
//
// Quorvel.exe catches no C++ exception and has no console to report one on:
// an exception here can only end the program. So libstdc++'s throw helpers
// and its terminate handler are replaced by ones that end it at once. The
// originals bring the old-ABI strings, std::random_device and the demangler
// into the exe, a quarter of its size on 32-bit Windows, where the unwind
// tables keep the linker from dropping any of it.
#include <cstdlib>
#include <string>

namespace __gnu_cxx {
void __verbose_terminate_handler() { std::abort(); }
}  // namespace __gnu_cxx

namespace std {
void __throw_bad_exception() { std::abort(); }
void __throw_bad_alloc() { std::abort(); }
void __throw_bad_array_new_length() { std::abort(); }
void __throw_bad_cast() { std::abort(); }
void __throw_bad_typeid() { std::abort(); }
void __throw_logic_error(const char*) { std::abort(); }
void __throw_domain_error(const char*) { std::abort(); }
void __throw_invalid_argument(const char*) { std::abort(); }
void __throw_length_error(const char*) { std::abort(); }
void __throw_out_of_range(const char*) { std::abort(); }
void __throw_out_of_range_fmt(const char*, ...) { std::abort(); }
void __throw_runtime_error(const char*) { std::abort(); }
void __throw_range_error(const char*) { std::abort(); }
void __throw_overflow_error(const char*) { std::abort(); }
void __throw_underflow_error(const char*) { std::abort(); }
}  // namespace std

// libstdc++ 13 and later link std::string's and std::wstring's
// _M_replace_cold from the library's own instantiations, even in C++20; that
// one function then brings every member of both classes, with their unwind
// tables: 60 KiB of the 32-bit exe. Instantiated here, it comes alone.
#if _GLIBCXX_RELEASE >= 13
template void std::string::_M_replace_cold(char*, size_type, const char*, const size_type, const size_type);
template void std::wstring::_M_replace_cold(wchar_t*, size_type, const wchar_t*, const size_type, const size_type);
#endif
