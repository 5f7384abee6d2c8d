#include "online/LocaleText.h"

#include <QLocale>

namespace online {

std::string GetLocaleText(int informationType, int maximum) {
  const QLocale locale = QLocale::system();
  QString text;
  if (informationType == LOCALE_SENGLANGUAGE)
    text = QLocale::languageToString(locale.language());
  else if (informationType == LOCALE_SENGCOUNTRY)
    text = QLocale::territoryToString(locale.territory());
  if (maximum > 0) text.truncate(maximum);
  return text.toStdString();
}

}  // namespace online
