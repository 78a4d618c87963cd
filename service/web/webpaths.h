#pragma once

#include <QByteArrayView>

// Where the web side answers; every other path stays with the classic association page.
namespace WebPaths {

inline constexpr char page[] = "/";
inline constexpr char apiPrefix[] = "/api/";
inline constexpr char api[] = "/api/v1/associations";
inline constexpr char openApi[] = "/api/v1/openapi.json";

inline bool underApi(QByteArrayView path)
{
    return path.startsWith(QByteArrayView(apiPrefix));
}

} // namespace WebPaths
