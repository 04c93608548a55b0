#pragma once

#include <string_view>

#include <QLocale>
#include <QString>

#include "report/numbers.h"

namespace ornexa::ui {

// Every text the core hands to the window is UTF-8: report names converted from Latin-1, and
// figures in the locale's separators.
inline QString DisplayText(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// The decimal and group separators of `locale`, whole characters however many bytes they take;
// a locale without group separator groups nothing.
inline NumberStyle LocaleNumberStyle(const QLocale& locale) {
    const QString decimal = locale.decimalPoint();
    return {Separator::FromUtf8(decimal.isEmpty() ? std::string_view(".") : std::string_view(decimal.toUtf8())),
            Separator::FromUtf8(locale.groupSeparator().toUtf8().toStdString())};
}

} // namespace ornexa::ui
