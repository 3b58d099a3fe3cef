#pragma once
// Track lengths as the list shows them: a fraction of a day formatted like a time of day with a
// date-time pattern such as "nn:ss". A length of an hour or more shows only what the pattern
// asks for, so "nn:ss" shows 75 minutes as 15:00.
//
// Pattern letters (any case): h hh hours, n nn minutes (m mm also give minutes: there is no
// date in a length), s ss seconds, z zzz milliseconds; doubled letters pad with zeros. Text
// in single or double quotes, and every other character, is copied as it is.

#include <string>
#include <string_view>

namespace tunola {

std::string FormatTimeOfDay(std::string_view format, double days);

} // namespace tunola
