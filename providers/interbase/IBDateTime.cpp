#include "providers/interbase/IBDateTime.h"

#include <cmath>

namespace vantrelo {

ibapi::TIscDate EncodeIBDate(TDateTime value) { return ibapi::TIscDate(std::trunc(value.Value)) + IBDateDelta; }

ibapi::TIscTime EncodeIBTime(TDateTime value) {
    double fraction = std::fabs(value.Value - std::trunc(value.Value));
    auto time = static_cast<ibapi::TIscTime>(std::llround(fraction * IBTimeUnitsPerDay));
    // A fraction that rounds up to a whole day is the last moment of the day, not midnight.
    constexpr auto lastUnit = static_cast<ibapi::TIscTime>(IBTimeUnitsPerDay) - 1;
    return time > lastUnit ? lastUnit : time;
}

ibapi::TIscTimestamp EncodeIBTimestamp(TDateTime value) { return {EncodeIBDate(value), EncodeIBTime(value)}; }

TDateTime DecodeIBDate(ibapi::TIscDate date) { return TDateTime(double(date - IBDateDelta)); }

TDateTime DecodeIBTime(ibapi::TIscTime time) { return TDateTime(time / IBTimeUnitsPerDay); }

TDateTime DecodeIBTimestamp(ibapi::TIscTimestamp stamp) {
    double day = double(stamp.Date - IBDateDelta);
    double time = stamp.Time / IBTimeUnitsPerDay;
    // Before day 0 the time of day counts forward from the day's midnight, away from zero.
    return TDateTime(day < 0 ? day - time : day + time);
}

} // namespace vantrelo
