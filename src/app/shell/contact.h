#pragma once

// The maker's addresses. They stay under the reserved ".example" domain until
// the program has real ones.
inline constexpr const char *kSupportMail = "support@corvella.example";
inline constexpr const char *kWebAddress = "corvella.example";
inline constexpr const char *kWebPage = "https://corvella.example/";
