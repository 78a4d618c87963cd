#pragma once

// Where the web side answers; every other path stays with the classic association page.
namespace WebPaths {

inline constexpr char page[] = "/";
inline constexpr char api[] = "/api/v1/associations";

} // namespace WebPaths
