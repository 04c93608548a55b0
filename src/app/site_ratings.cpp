#include "app/site_ratings.h"

#include <QCoreApplication>

#include "advice/rating_settings_file.h"
#include "app/ui_services.h"

ornexa::RatingSettings SiteRatingSettings(UiServices& ui) {
    const ornexa::RatingSettingsLookup lookup =
        ornexa::FindRatingSettings(QCoreApplication::applicationDirPath().toStdString());
    if (lookup.settings.Ok()) {
        return *lookup.settings.value;
    }
    std::string text;
    for (const ornexa::Message& message : lookup.settings.messages) {
        text += message.text + '\n';
    }
    text += QCoreApplication::translate("SiteRatings", "The pools are rated with the built-in bounds until the file "
                                                       "is put right.")
                .toStdString();
    ui.Show(
        {QCoreApplication::translate("SiteRatings", "Health").toStdString(), text, ornexa::MessageIcon::Exclamation});
    return {};
}
