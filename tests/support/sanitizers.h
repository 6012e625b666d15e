#pragma once
// What a test must know of the sanitizers it runs under.

namespace vxtest {

// AddressSanitizer reserves far more address space than any limit a test
// could set, and keeps freed blocks resident in its quarantine for a while.
#if defined(__SANITIZE_ADDRESS__)
inline constexpr bool kUnderAddressSanitizer = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
inline constexpr bool kUnderAddressSanitizer = true;
#else
inline constexpr bool kUnderAddressSanitizer = false;
#endif
#else
inline constexpr bool kUnderAddressSanitizer = false;
#endif

}  // namespace vxtest
