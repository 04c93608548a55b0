#pragma once

#include <QMimeData>
#include <QUrl>
#include <filesystem>
#include <optional>

// The one local file a drag brings, if it brings exactly one.
inline std::optional<std::filesystem::path> DroppedFile(const QMimeData* data) {
    if (data == nullptr || !data->hasUrls() || data->urls().size() != 1 || !data->urls().constFirst().isLocalFile()) {
        return std::nullopt;
    }
    return std::filesystem::path(data->urls().constFirst().toLocalFile().toStdString());
}
