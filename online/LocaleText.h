// The user's locale as English texts, for the banner request.
#pragma once

#include <string>

namespace online {

// The Windows locale information codes the program asks for.
constexpr int LOCALE_SENGLANGUAGE = 4097;
constexpr int LOCALE_SENGCOUNTRY = 4098;

// The English name of the user's language or country ("English", "United States"); other
// codes answer an empty text. With maximum > 0 at most that many characters.
std::string GetLocaleText(int informationType, int maximum);

}  // namespace online
